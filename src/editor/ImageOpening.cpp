#include "editor/ImageOpening.h"

#include "controls/ImageAdditional.h"
#include "platform/imageio/ImageSource.h"

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>

#ifndef OPALENE_VERSION
#define OPALENE_VERSION ""
#endif

namespace ImageOpening {

std::vector<std::string> readableFileTypes() {
    return {"tiff", "tif", "jpg", "jpeg", "png", "bmp", "jp2", "exr"};
}

std::string softwareName() {
    const std::string version = OPALENE_VERSION;
    return version.empty() ? "Opalene" : "Opalene " + version;
}

foundation::Dictionary keptProperties(const foundation::Dictionary& properties) {
    foundation::Dictionary kept = properties;
    kept.erase("Orientation");
    kept.erase("Depth");
    kept.erase("HasAlpha");
    foundation::Dictionary tiff;
    if (auto it = kept.find("{TIFF}"); it != kept.end())
        if (const foundation::Dictionary* stored = it->second.getDictionary()) tiff = *stored;
    tiff.erase("Orientation");
    tiff["Software"] = foundation::Value(softwareName());
    kept["{TIFF}"] = foundation::Value(std::move(tiff));
    return kept;
}

OpenedPhoto readPhoto(const std::string& path) {
    OpenedPhoto opened;
    std::unique_ptr<imageio::ImageSource> source =
        imageio::ImageSource::createWithPath(path, &opened.failure);
    if (!source) return opened;
    opened.hasSource = true;
    if (source->count() == 0) {
        opened.failure = source->failureReason();
        return opened;
    }
    // The whole picture decoded upright, so nothing downstream needs the orientation.
    opened.image = source->createThumbnail(0);
    if (!opened.image) {
        opened.failure = source->failureReason();
        return opened;
    }
    opened.properties = source->copyProperties();
    opened.keptProperties = keptProperties(opened.properties);
    opened.utType = source->type();
    return opened;
}

bool needsResize(int width, int height) {
    return double(width) * double(height) > RivorezIduvivViewControllerMaxPixels;
}

void cappedSize(int width, int height, int* outWidth, int* outHeight) {
    const double w = width, h = height;
    const double side =
        std::floor(std::sqrt(std::max(w, h) / std::min(w, h) * RivorezIduvivViewControllerMaxPixels)) - 1;
    const QSizeF fitted = ImageAdditional::scaledSizeToFit(QSizeF(w, h), QSizeF(side, side));
    *outWidth = int(std::lround(fitted.width()));
    *outHeight = int(std::lround(fitted.height()));
}

graphics::ImagePtr resizeImage(const graphics::ImagePtr& image, double width, double height) {
    if (!image) return nullptr;
    const QSizeF fitted =
        ImageAdditional::scaledSizeToFit(QSizeF(image->width(), image->height()), QSizeF(width, height));
    const QSize size(std::max(1, int(std::lround(fitted.width()))),
                     std::max(1, int(std::lround(fitted.height()))));
    QImage target(size, QImage::Format_ARGB32_Premultiplied);
    target.fill(Qt::transparent);
    QPainter painter(&target);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(QPoint(0, 0), size), ImageAdditional::toQImage(image));
    painter.end();
    return ImageAdditional::fromQImage(target);
}

graphics::ImagePtr resizeInBackgroundImage(const graphics::ImagePtr& image) {
    if (!image) return nullptr;
    int width = 0, height = 0;
    cappedSize(image->width(), image->height(), &width, &height);
    return resizeImage(image, width, height);
}

} // namespace ImageOpening
