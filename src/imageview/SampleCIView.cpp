#include "imageview/SampleCIView.h"

#include "platform/coreimage/Context.h"
#include "platform/coreimage/Filter.h"
#include "platform/coreimage/PixelRect.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

// The image's pixels as the cache holds them.
coreimage::PixelRect cachePixels(const coreimage::ImagePtr& image) {
    return image ? coreimage::pixelsInside(image->extent()) : coreimage::PixelRect{};
}

} // namespace

SampleCIView::SampleCIView(QWidget* parent) : QWidget(parent) {}

void SampleCIView::setImage(coreimage::ImagePtr image) {
    setImage(std::move(image), graphics::Rect::infinite());
}

void SampleCIView::setImage(coreimage::ImagePtr image, const graphics::Rect& dirtyRect) {
    if (image == _image) return;
    const coreimage::PixelRect before = cachePixels(_image);
    _image = std::move(image);
    const coreimage::PixelRect now = cachePixels(_image);
    if (!(now == before) || !_image || _image->extent().isInfinite()) {
        _cache = QImage();
        _cacheValid = QRegion();
    }
    if (dirtyRect.isInfinite()) {
        _cacheValid = QRegion();
        update();
        return;
    }
    // The image pixels under the dirty rectangle, grown by one for the smoothing of the scaled copy.
    const graphics::Rect rf = realFrame(), f = frame();
    const double d = _image && _image->extent().width() > 0 ? rf.width() / _image->extent().width() : 0;
    if (d > 0 && std::isfinite(d) && !_cacheValid.isEmpty()) {
        const double x0 = std::floor((f.minX() - rf.minX() + dirtyRect.minX()) / d) - 1;
        const double y0 = std::floor((f.minY() - rf.minY() + dirtyRect.minY()) / d) - 1;
        const double x1 = std::ceil((f.minX() - rf.minX() + dirtyRect.maxX()) / d) + 1;
        const double y1 = std::ceil((f.minY() - rf.minY() + dirtyRect.maxY()) / d) + 1;
        const QRectF rows(x0 - now.x, now.maxY() - y1, x1 - x0, y1 - y0);
        _cacheValid -= rows.toAlignedRect().intersected(QRect(0, 0, now.width, now.height));
    } else {
        _cacheValid = QRegion();
    }
    update(toWidget(dirtyRect).toAlignedRect());
}

coreimage::ImagePtr SampleCIView::scaledImageFromImage(const coreimage::ImagePtr& image, double scale) {
    if (scale == 1.0 || !image) return image;
    coreimage::FilterPtr filter = coreimage::Filter::filterWithName("CIAffineTransform");
    filter->setValue("inputImage", image);
    filter->setValue("inputTransform", graphics::AffineTransform::makeScale(scale, scale));
    return filter->outputImage();
}

graphics::Rect SampleCIView::frame() const {
    const QRect g = geometry();
    const int outer = parentWidget() ? parentWidget()->height() : g.height() + g.y();
    return graphics::Rect(g.x(), outer - (g.y() + g.height()), g.width(), g.height());
}

void SampleCIView::setFrame(const graphics::Rect& f) {
    const double outer = parentWidget() ? parentWidget()->height() : f.maxY();
    setGeometry(QRect(int(std::lround(f.minX())), int(std::lround(outer - f.maxY())),
                      int(std::lround(f.width())), int(std::lround(f.height()))));
}

std::optional<graphics::Rect> SampleCIView::sourceRect(const graphics::Rect& realFrame,
                                                       const graphics::Rect& frame,
                                                       const graphics::Rect& extent,
                                                       const graphics::Rect& visible) {
    if (extent.isNull() || extent.isInfinite() || extent.width() <= 0 || visible.isNull())
        return std::nullopt;
    const double d = realFrame.width() / extent.width();
    if (!(d > 0) || !std::isfinite(d)) return std::nullopt;
    const auto rounded = [](double v) { return double(std::round(float(v))); };
    const double x = rounded(((frame.minX() - realFrame.minX()) + visible.minX()) / d);
    const double y = rounded(((frame.minY() - realFrame.minY()) + visible.minY()) / d);
    // Trimmed in one step rather than one pixel at a time: the same result, and no endless loop.
    const double width = std::min(rounded(visible.width() / d), extent.maxX() - x);
    const double height = std::min(rounded(visible.height() / d), extent.maxY() - y);
    if (!(width > 0 && height > 0) || !std::isfinite(x) || !std::isfinite(y)) return std::nullopt;
    return graphics::Rect(x, y, width, height);
}

void SampleCIView::updateMatrices() {
    const double dpr = devicePixelRatioF();
    const graphics::Rect bounds(0, 0, width() * dpr, height() * dpr);
    if (bounds == _lastBounds && !_lastBounds.isNull()) return;
    _lastBounds = bounds;
    viewBoundsDidChange(bounds);
}

graphics::Rect SampleCIView::toModel(const QRect& rect) const {
    return graphics::Rect(rect.x(), height() - (rect.y() + rect.height()), rect.width(), rect.height());
}

QRectF SampleCIView::toWidget(const graphics::Rect& rect) const {
    return QRectF(rect.minX(), height() - rect.maxY(), rect.width(), rect.height());
}

void SampleCIView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    updateMatrices();
}

void SampleCIView::paintEvent(QPaintEvent* event) {
    updateMatrices();
    if (!_image) return;
    const QRect dirty = event->rect();
    const std::optional<graphics::Rect> source =
        sourceRect(realFrame(), frame(), _image->extent(), toModel(dirty));
    if (!source) return;
    const coreimage::PixelRect pixels = cachePixels(_image);
    if (pixels.isEmpty()) return;
    if (_cache.size() != QSize(pixels.width, pixels.height)) {
        _cache = QImage(pixels.width, pixels.height, QImage::Format_RGBA8888_Premultiplied);
        _cacheValid = QRegion();
        if (_cache.isNull()) return;
    }
    const QRectF from(source->minX() - pixels.x, pixels.maxY() - source->maxY(), source->width(),
                      source->height());
    fillCache(from.toAlignedRect().adjusted(-1, -1, 1, 1).intersected(_cache.rect()));
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(dirty), _cache, from);
}

void SampleCIView::fillCache(const QRect& needed) {
    const QRegion missing = QRegion(needed) - _cacheValid;
    if (missing.isEmpty()) return;
    const coreimage::PixelRect pixels = cachePixels(_image);
    const coreimage::Context context;
    const size_t rowBytes = size_t(_cache.bytesPerLine());
    for (const QRect& r : missing) {
        uchar* at = _cache.bits() + size_t(r.y()) * rowBytes + size_t(r.x()) * 4;
        const graphics::Rect bounds(pixels.x + r.x(), pixels.maxY() - (r.y() + r.height()), r.width(),
                                    r.height());
        if (!context.render(_image, at, rowBytes, bounds, coreimage::kRGBA8Premultiplied)) return;
    }
    _cacheValid += missing;
}
