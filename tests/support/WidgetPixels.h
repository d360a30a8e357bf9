#pragma once
// A widget's rendered pixels, read in y-up coordinates like the models that placed them.
// Header only.
#include "platform/appkit/Coordinates.h"

#include <QImage>
#include <QWidget>
#include <cmath>

struct WidgetPixels {
    QImage image; // ARGB32, one pixel per point

    // The pixel covering the y-up unit square whose bottom-left corner is (x, y).
    QColor at(int x, int y) const { return image.pixelColor(x, image.height() - 1 - y); }
    int width() const { return image.width(); }
    int height() const { return image.height(); }
};

// Renders the widget and its children as they are now, at a device pixel ratio of 1.
inline WidgetPixels grabPixels(QWidget& view) {
    QImage image = view.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    if (image.devicePixelRatio() != 1.0 && !image.isNull())
        image = image.scaled(view.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    image.setDevicePixelRatio(1.0);
    return WidgetPixels{image};
}
