// The image view's compare mode: photo and preview side by side, and the quick compare.
#include "imageview/KXImageView.h"

#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/SinglePrecision.h"

#include <algorithm>

using graphics::Rect;
using graphics::Size;
using quartz::Layer;

namespace {
constexpr float kCompareMargin = 40;
constexpr double kQuickCompareZ = 100000;
} // namespace

bool KXImageView::readyToEnterCompareMode() const {
    return _previewImage && _previewLayer && _previewImage != _image;
}

void KXImageView::enterCompareMode() {
    _isCompareMode = true;
    if (_previewLayer) dropShadow(*_previewLayer, true);
    imageLayer().setHidden(false);
    _imageLayer->setNeedsDisplay();
    _fitImageLayerToCompareAnimated(true);
    _fitPreviewLayerToCompareAnimated(true);
    _autoCenterEnabled = false;
    invalidateCursorRects();
}

void KXImageView::leaveCompareMode() {
    if (!_isCompareMode) return;
    _operation = 6;
    _isCompareMode = false;
    if (_previewLayer) dropShadow(*_previewLayer, false);
    zoomToFitAnimated(true);
    if (_previewLayer) _previewLayer->setNeedsDisplay();
    invalidateCursorRects();
}

void KXImageView::fitCompareModeAnimated(bool animated) {
    _fitImageLayerToCompareAnimated(animated);
    _fitPreviewLayerToCompareAnimated(animated);
}

void KXImageView::_fitImageLayerToCompareAnimated(bool animated) {
    const Size i = _correctedSize;
    if (i.width <= 0 || i.height <= 0) return;
    const Rect e = extraVisibleRect();
    const double halfWidth = e.minX() + e.width() / 2, height = e.minY() + e.height();
    const float sx = (float(halfWidth) - kCompareMargin) / float(i.width);
    const float sy = (float(height) - kCompareMargin) / float(i.height);
    setScale(sx >= 1 && sy >= 1 ? 1.0 : double(std::min(sx, sy)));
    Layer& photo = imageLayer();
    if (!photo.transform().isIdentity()) {
        photo.setTransform(graphics::AffineTransform::identity());
        _rotationAngle = 0;
    }
    const double w = i.width * _scale, h = i.height * _scale;
    const double cx = e.minX() + halfWidth / 2, cy = e.minY() + height / 2;
    _activeLayer = _imageLayer;
    handleLayerZoomSetAnimated(animated,
                               Rect(graphics::roundf32(cx - w / 2), graphics::roundf32(cy - h / 2), w, h));
}

void KXImageView::_fitPreviewLayerToCompareAnimated(bool animated) {
    const Size p = _correctedPreviewSize;
    // Without a preview there is nothing to measure (the editor asks readyToEnterCompareMode first).
    if (!_previewImage || !_previewLayer || p.width <= 0 || p.height <= 0) return;
    const Rect e = extraVisibleRect();
    const double halfWidth = e.minX() + e.width() / 2, height = e.minY() + e.height();
    float sx = (float(halfWidth) - kCompareMargin) / float(p.width);
    float sy = (float(height) - kCompareMargin) / float(p.height);
    if (sx >= 1 && sy >= 1) {
        // Drawn at the size of the photo at actual pixels.
        sx = float(_correctedSize.width) / float(p.width);
        sy = float(_correctedSize.height) / float(p.height);
    }
    setScale(double(std::min(sx, sy)));
    if (!_previewLayer->transform().isIdentity()) {
        _previewLayer->setTransform(graphics::AffineTransform::identity());
        _rotationAngle = 0;
    }
    const double w = p.width * _scale, h = p.height * _scale;
    const double cx = halfWidth + halfWidth / 2, cy = e.minY() + height / 2;
    _activeLayer = _previewLayer;
    handleLayerZoomSetAnimated(animated,
                               Rect(graphics::roundf32(cx - w / 2), graphics::roundf32(cy - h / 2), w, h));
}

void KXImageView::showQuickCompare(bool show) {
    imageLayer().setZPosition(show ? kQuickCompareZ : 0);
}
