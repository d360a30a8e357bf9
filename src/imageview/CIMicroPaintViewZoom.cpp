// The zoom half of the mask canvas: the visible frame of the zoomed image, fit, actual size,
// zoom in and out with the brush kept at least one working pixel.
#include "imageview/CIMicroPaintView.h"
#include "imageview/CIMicroPaintViewOwner.h"

#include <cmath>

graphics::Rect CIMicroPaintView::validateFrame(const graphics::Rect& realFrame) {
    refreshGeometry();
    _frameState = _geometry.validateFrame(realFrame);
    _realFrame = _frameState.realFrame;
    showScrollerState();
    return _frameState.frame;
}

void CIMicroPaintView::placeRealFrame(const graphics::Rect& realFrame) {
    setFrame(validateFrame(realFrame));
    // The cache holds image pixels: a new mapping only needs a repaint.
    update();
}

void CIMicroPaintView::zoomToFitRect(const graphics::Rect& rect) {
    if (!_imageB) return;
    const bool zero = rect.width() == 0 && rect.height() == 0 && rect.minX() == 0 && rect.minY() == 0;
    refreshGeometry();
    const graphics::Rect area = zero ? _geometry.contentArea() : rect;
    const CanvasGeometry::Zoom zoom = CanvasGeometry::zoomToFit(area, _imageB->extent().size);
    setScale(zoom.scale);
    placeRealFrame(zoom.realFrame);
}

void CIMicroPaintView::zoomToActualSize() {
    if (!_imageB || !_originB) return;
    const CanvasGeometry::Zoom zoom = CanvasGeometry::zoomToActualSize(
        frame(), _imageB->extent().size, _scaleFactorFromOriginal, _originB->extent().size);
    setScale(zoom.scale);
    placeRealFrame(zoom.realFrame);
}

void CIMicroPaintView::zoomIn() {
    if (!_imageB) return;
    const double next = scale() * 1.15;
    // The brush may not shrink below one working pixel: the toolbar is asked for a larger one.
    while (_brushSize / next < 1) {
        const double ratio = _brushSize / next;
        if (_storedBrushSize == 0) _storedBrushSize = _brushSize;
        _isZoom = true;
        if (_owner) _owner->setToolbarBrushSize(next);
        _isZoom = false;
        if (!(_brushSize / next > ratio)) return;
    }
    const graphics::Size size{std::round(_imageB->extent().width() * next),
                              std::round(_imageB->extent().height() * next)};
    graphics::Rect zoomed = CanvasGeometry::zoomedAboutCentre(frame(), realFrame(), size);
    setScale(next);
    const CanvasGeometry::Validated state = _geometry.validateFrame(zoomed);
    zoomed.origin = _geometry.limitedOrigin(zoomed.origin, state);
    placeRealFrame(zoomed);
}

void CIMicroPaintView::zoomOut() {
    if (!_imageB) return;
    const double next = scale() / 1.15;
    const graphics::Size size{_imageB->extent().width() * next, _imageB->extent().height() * next};
    if (!(size.width > 300 && size.height > 300)) return;
    graphics::Rect zoomed = CanvasGeometry::zoomedAboutCentre(frame(), realFrame(), size);
    const CanvasGeometry::Validated state = _geometry.validateFrame(zoomed);
    zoomed.origin = _geometry.limitedOrigin(zoomed.origin, state);
    setScale(next);
    if (_storedBrushSize != 0) {
        _isZoom = true;
        if (next <= _storedBrushSize) {
            const double stored = _storedBrushSize;
            _storedBrushSize = 0;
            if (_owner) _owner->setToolbarBrushSize(stored);
        } else if (_owner) {
            _owner->setToolbarBrushSize(next);
        }
        _isZoom = false;
    }
    placeRealFrame(zoomed);
}

void CIMicroPaintView::setBrushSize(double size) {
    if (size == _brushSize) return;
    if (size / scale() >= 1) {
        _brushSize = size;
        if (!_isZoom) _storedBrushSize = 0;
        resetCursorRects();
    } else if (_owner) {
        _owner->setToolbarBrushSize(scale());
    }
    _isZoom = false;
}

void CIMicroPaintView::panTo(graphics::Point locationInParent) {
    graphics::Rect moved = realFrame();
    moved.origin = _geometry.limitedOrigin(
        graphics::Point{locationInParent.x - _startPoint.x, locationInParent.y - _startPoint.y},
        _geometry.validateFrame(moved));
    placeRealFrame(moved);
}
