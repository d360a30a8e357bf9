#pragma once
// What painting a layer's pictures keeps between frames. Contents are immutable, so a derived
// picture stays good for as long as its contents are the same object.
#include <QColor>
#include <QImage>

#include <memory>
#include <vector>

namespace quartz {

struct LayerRenderCache {
    // The contents halved again and again (level 0: the contents in a premultiplied format).
    std::weak_ptr<const QImage> mipContents;
    std::vector<QImage> levels;

    // The contents at one size on the device, drawn unscaled while the size holds.
    std::weak_ptr<const QImage> scaledContents;
    QImage scaled;

    // The blurred shadow, at one size on the device.
    std::weak_ptr<const QImage> shadowContents;
    bool shadowOfContents = false;
    QSize shadowSize;
    double shadowRadius = -1;
    QRgb shadowColour = 0;
    int shadowPad = 0;
    QImage shadow;
};

} // namespace quartz
