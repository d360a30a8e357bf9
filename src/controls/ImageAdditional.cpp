#include "controls/ImageAdditional.h"

#include "kernels/drawing/ARGBBitmapContext.h"
#include "platform/graphics/Drawing.h"
#include "platform/graphics/PixelConversion.h"
#include "platform/imageio/ImageDestination.h"

#include <QPainter>
#include <QTransform>
#include <cmath>
#include <cstdlib>

namespace ImageAdditional {

namespace {

// QImage's premultiplied ARGB32 as bytes in memory (little-endian hosts).
graphics::PixelFormat qtFormat() {
    graphics::PixelFormat format;
    format.order = {graphics::Channel::B, graphics::Channel::G, graphics::Channel::R, graphics::Channel::A};
    format.premultiplied = true;
    return format;
}

QImage premultiplied(const QImage& image) {
    return image.format() == QImage::Format_ARGB32_Premultiplied
               ? image
               : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage trimmed(const QImage& source, QRect* finalRect, bool (*kept)(QRgb)) {
    const QImage image = premultiplied(source);
    const int w = image.width(), h = image.height();
    const auto rowKept = [&](int y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x)
            if (kept(line[x])) return true;
        return false;
    };
    const auto columnKept = [&](int x, int top, int bottom) {
        for (int y = top; y < bottom; ++y)
            if (kept(reinterpret_cast<const QRgb*>(image.constScanLine(y))[x])) return true;
        return false;
    };
    // Qt rows run top-down: the platform's bottom edge is the last row.
    int top = 0, bottom = h;
    while (bottom > top && !rowKept(bottom - 1))
        --bottom;
    while (top < bottom && !rowKept(top))
        ++top;
    int left = 0, right = w;
    while (left < right && !columnKept(left, top, bottom))
        ++left;
    while (right > left && !columnKept(right - 1, top, bottom))
        --right;
    if (finalRect) *finalRect = QRect(left, h - bottom, right - left, bottom - top);
    if (right <= left || bottom <= top) return QImage();
    return image.copy(left, top, right - left, bottom - top);
}

bool save(const QImage& image, const std::string& path, const std::string& type,
          foundation::Dictionary properties) {
    graphics::ImagePtr pixels = fromQImage(image);
    if (!pixels) return false;
    std::unique_ptr<imageio::ImageDestination> destination =
        imageio::ImageDestination::createWithPath(path, type);
    if (!destination) return false;
    destination->addImage(pixels, std::move(properties));
    return destination->finalize();
}

} // namespace

// A source without area (or with sizes that are not numbers) has no aspect to keep; its ratios
// would divide by zero.
namespace {
bool hasArea(QSizeF size) {
    return size.width() > 0 && size.height() > 0 && std::isfinite(size.width() * size.height());
}
} // namespace

QSizeF scaledSizeToFit(QSizeF source, QSizeF target) {
    if (!hasArea(source)) return QSizeF(0, 0);
    const double w = source.width(), h = source.height(), W = target.width(), H = target.height();
    if (w == h) return QSizeF(std::min(W, H), std::min(W, H));
    const double hw = double(float(h / w)), wh = double(float(w / h));
    const double fittedHeight = W * hw;
    if (fittedHeight > H) return QSizeF(H * wh, H);
    return QSizeF(W, fittedHeight);
}

QSizeF scaledSizeToCover(QSizeF source, QSizeF target) {
    if (!hasArea(source)) return QSizeF(0, 0);
    const double w = source.width(), h = source.height(), W = target.width(), H = target.height();
    const double hw = double(float(h / w)), wh = double(float(w / h));
    const double coveredHeight = W * hw;
    if (H > coveredHeight) return QSizeF(H * wh, H);
    return QSizeF(W, coveredHeight);
}

QPointF coverOrigin(QSizeF scaled, QSizeF target, int alignment) {
    const double dx = scaled.width() - target.width(), dy = scaled.height() - target.height();
    switch (alignment) {
    case kCenter:
        return QPointF(-dx / 2, -dy / 2);
    case kTop:
        return QPointF(-dx / 2, -dy);
    case kTopLeft:
        return QPointF(0, -dy);
    case kTopRight:
        return QPointF(-dx, -dy);
    case kLeft:
        return QPointF(0, -dy / 2);
    case kBottom:
        return QPointF(-dx / 2, 0);
    case kBottomLeft:
        return QPointF(0, 0);
    case kBottomRight:
        return QPointF(-dx, 0);
    case kRight:
        return QPointF(-dx, -dy / 2);
    default:
        return QPointF(0, 0);
    }
}

QImage scaledImageToCover(const QImage& source, QSizeF target, int alignment, bool box) {
    const QSize size(qRound(target.width()), qRound(target.height()));
    if (source.isNull() || size.isEmpty()) return QImage();
    QImage result(size, QImage::Format_ARGB32_Premultiplied);
    result.fill(Qt::transparent);
    const QSizeF scaled = scaledSizeToCover(QSizeF(source.size()), QSizeF(size));
    const QPointF origin = coverOrigin(scaled, QSizeF(size), alignment);
    QPainter painter(&result);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // The origin is y-up: flip it into the painter's top-down rows.
    painter.drawImage(QRectF(QPointF(origin.x(), size.height() - origin.y() - scaled.height()), scaled),
                      source);
    if (box) {
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1));
    }
    return result;
}

QImage scaledImageToFit(const QImage& source, QSizeF target, bool box) {
    const QSize size(qRound(target.width()), qRound(target.height()));
    if (source.isNull() || size.isEmpty()) return QImage();
    QImage result(size, QImage::Format_ARGB32_Premultiplied);
    result.fill(Qt::transparent);
    const QSizeF fitted = scaledSizeToFit(QSizeF(source.size()), QSizeF(size));
    const QRectF rect(QPointF((size.width() - fitted.width()) / 2, (size.height() - fitted.height()) / 2),
                      fitted);
    QPainter painter(&result);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (box) painter.fillRect(rect, Qt::white);
    painter.drawImage(rect, source);
    if (box) {
        painter.setPen(QPen(Qt::black, 1));
        painter.drawRect(rect.adjusted(0.5, 0.5, -0.5, -0.5));
    }
    return result;
}

QImage toQImage(const graphics::ImagePtr& image) {
    if (!image) return QImage();
    QImage result(image->width(), image->height(), QImage::Format_ARGB32_Premultiplied);
    if (result.isNull()) return QImage();
    if (image->format().bitsPerComponent == 8) {
        if (!graphics::convertPixels(image->data(), image->rowBytes(), image->format(), result.bits(),
                                     size_t(result.bytesPerLine()), qtFormat(), image->width(),
                                     image->height()))
            return QImage();
        return result;
    }
    // Deeper pictures go through an 8-bit premultiplied drawing first.
    auto context = CreateARGBBitmapContextAlphaSkip(size_t(image->width()), size_t(image->height()), 0);
    if (!context) return QImage();
    uint8_t* pixels = context->data();
    graphics::drawImage(*context, graphics::Rect(0, 0, image->width(), image->height()), image);
    const bool converted =
        graphics::convertPixels(pixels, context->rowBytes(), context->format(), result.bits(),
                                size_t(result.bytesPerLine()), qtFormat(), image->width(), image->height());
    context.reset();
    std::free(pixels);
    return converted ? result : QImage();
}

graphics::ImagePtr fromQImage(const QImage& image) {
    if (image.isNull()) return nullptr;
    const QImage source = premultiplied(image);
    return graphics::Image::copy(source.constBits(), source.width(), source.height(),
                                 size_t(source.bytesPerLine()), qtFormat());
}

QImage imageWithOrientation(const QImage& source, int orientation) {
    if (source.isNull()) return QImage();
    // Qt turns clockwise for a positive angle in its top-down rows.
    QTransform transform;
    switch (orientation) {
    case 2:
        transform.scale(-1, 1);
        break;
    case 3:
        transform.rotate(180);
        break;
    case 4:
        transform.scale(1, -1);
        break;
    case 5:
        transform.rotate(90).scale(1, -1);
        break;
    case 6:
        transform.rotate(90);
        break;
    case 7:
        transform.rotate(-90).scale(1, -1);
        break;
    case 8:
        transform.rotate(-90);
        break;
    default:
        return source;
    }
    return source.transformed(transform);
}

bool isBlackColorImage(const QImage& source) {
    if (source.isNull()) return false;
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if ((line[x] & 0x00ffffffu) != 0) return false;
    }
    return true;
}

QImage imageByRemovingTransparentAreas(const QImage& image, QRect* finalRect) {
    return trimmed(image, finalRect, [](QRgb p) { return qAlpha(p) > 2; }); // 0.01 of 255
}

QImage imageByRemovingBlackAreas(const QImage& image, QRect* finalRect) {
    return trimmed(image, finalRect, [](QRgb p) { return (p & 0x00ffffffu) != 0; });
}

bool saveJPEGPath(const QImage& image, const std::string& path) {
    foundation::Dictionary properties;
    properties[imageio::kLossyCompressionQuality] = foundation::Value(1.0);
    return save(image, path, "public.jpeg", std::move(properties));
}

bool savePNGPath(const QImage& image, const std::string& path) {
    return save(image, path, "public.png", {});
}

bool saveTIFFPath(const QImage& image, const std::string& path) {
    foundation::Dictionary tiff;
    tiff["Compression"] = foundation::Value(int64_t(5));
    foundation::Dictionary properties;
    properties["{TIFF}"] = foundation::Value(std::move(tiff));
    return save(image, path, "public.tiff", std::move(properties));
}

} // namespace ImageAdditional
