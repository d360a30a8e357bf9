// The image view's geometry: visible area, fits, zoom steps, centring and the frame animation.
#include "imageview/KXImageView.h"

#include "imageview/LayerScopes.h"
#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/SinglePrecision.h"
#include "platform/quartz/AnimationGroup.h"
#include "platform/quartz/BasicAnimation.h"
#include "platform/quartz/Clock.h"
#include "platform/quartz/Transaction.h"

#include <algorithm>
#include <cmath>

using graphics::Point;
using graphics::Rect;
using graphics::Size;
using quartz::Layer;
using quartz::Transaction;

namespace {

constexpr float kFitMargin = 40;
constexpr double kZoomInFactor = 1.414214;
constexpr double kZoomOutFactor = 0.7071068;
constexpr double kLargestZoomSide = 10000;
constexpr double kSmallestZoomSide = 300;
constexpr double kFrameDuration = 0.3;
constexpr double kFrameDurationWithCompletion = 0.2;
constexpr double kShadowStripWidth = 461;

bool sameFrame(const Rect& a, const Rect& b) {
    return a == b && a.origin == b.origin;
}

// The on-screen values to the new frame: position to its centre, bounds to its size.
quartz::AnimationGroup frameAnimation(const Layer& layer, const Rect& frame, double duration) {
    const quartz::LayerValues shown = layer.presentation();
    auto position = std::make_shared<quartz::BasicAnimation>("position");
    position->setFromValue(shown.position);
    position->setToValue(Point{frame.midX(), frame.midY()});
    auto bounds = std::make_shared<quartz::BasicAnimation>("bounds");
    bounds->setFromValue(shown.bounds);
    bounds->setToValue(Rect(0, 0, frame.width(), frame.height()));
    quartz::AnimationGroup group;
    group.setAnimations({position, bounds});
    group.setDuration(duration);
    group.setTimingFunction(quartz::TimingFunction::easeInEaseOut());
    return group;
}

} // namespace

Rect KXImageView::visibleRect() const {
    // The root takes the widget's size first, so its sublayers have followed it before any placing.
    return layer().bounds();
}

Rect KXImageView::extraVisibleRect() const {
    Rect e = visibleRect();
    e.size.width -= _rightMargin;
    e.size.height -= _bottomMargin;
    e.origin.y += _bottomMargin;
    if (_isCompareMode && _dataSource) e.size.height -= double(_dataSource->appButtomContentViewHeight());
    return e;
}

double KXImageView::contentScaleForLayer(const Layer* layer) {
    return layer ? layer->contentsScale() : 1.0;
}

bool KXImageView::canZoomToFit() const {
    const Size s = _image ? _image->pointSize() : Size{};
    const Rect e = extraVisibleRect();
    const float aw = float(e.width()) - kFitMargin, ah = float(e.height()) - kFitMargin;
    const bool fits = aw >= float(s.width) && ah >= float(s.height);
    if (_previewImage || fits) return !fits;
    if (!_autoCenterEnabled || _rotationAngle != 0) return true;
    const float dw = float(s.width * _scale), dh = float(s.height * _scale);
    if (aw > dw && std::fabs(ah - dh) < 1) return false;
    if (ah > dh && std::fabs(aw - dw) < 1) return false;
    if (std::fabs(ah - dh) < 1 && std::fabs(aw - dw) < 1) return false;
    return true;
}

bool KXImageView::canZoomIn() const {
    if (_scale >= 1.0) return false;
    const Rect f = _imageLayer ? _imageLayer->frame() : Rect(0, 0, 0, 0);
    return std::max(f.width(), f.height()) * contentScaleForLayer(_imageLayer.get()) <= kLargestZoomSide;
}

bool KXImageView::canZoomOut() const {
    return _scale * _correctedSize.width > kSmallestZoomSide ||
           _scale * _correctedSize.height > kSmallestZoomSide;
}

bool KXImageView::canZoomToActualSize() const {
    return _scale != 1.0 && !_previewImage;
}

void KXImageView::moveActiveLayer(bool animated, const Rect& frame, const char* key, double duration,
                                  bool asFrame) {
    Layer* active = activeLayer();
    // As the preview moves, the unedited photo under it moves with it (also when the preview
    // layer does not exist yet).
    const bool imageFollows = !_isCompareMode && active == _previewLayer.get() && _imageLayer;
    std::vector<Layer*> moved;
    if (active) moved.push_back(active);
    if (imageFollows && active != _imageLayer.get()) moved.push_back(_imageLayer.get());
    for (Layer* layer : moved) {
        if (!animated) {
            layer->setFrame(frame);
            continue;
        }
        layer->addAnimation(frameAnimation(*layer, frame, duration), key);
        if (_isCompareMode && layer == active) {
            layer->setPosition(Point{frame.midX(), frame.midY()});
            layer->setBounds(frame);
        } else if (asFrame) {
            layer->setFrame(frame);
        } else {
            layer->setPosition(Point{frame.midX(), frame.midY()});
            layer->setBounds(Rect(0, 0, frame.width(), frame.height()));
        }
    }
}

void KXImageView::handleLayerZoomSetAnimated(bool animated, const Rect& frame) {
    Transaction::begin();
    Transaction::setAnimationDuration(animated ? kFrameDuration : 0);
    Transaction::setAnimationTimingFunction(quartz::TimingFunction::easeInEaseOut());
    std::weak_ptr<bool> alive = _alive;
    Transaction::setCompletionBlock([this, alive] {
        if (alive.expired()) return;
        if (_operation == 6) {
            _operation = 7;
        } else if (_operation == 0) {
            _operation = 7;
            _moveImageInContent();
        }
        invalidateCursorRects();
    });
    moveActiveLayer(animated, frame, "frame", kFrameDuration, true);
    Transaction::commit();
    _fitRightShadow();
}

void KXImageView::handleLayerZoomSetAnimated(bool animated, const Rect& frame,
                                             std::function<void()> completionBlock) {
    if (_backgroundLayer) _backgroundLayer->setNeedsDisplay();
    Transaction::begin();
    Transaction::setAnimationDuration(animated ? kFrameDurationWithCompletion : 0);
    Transaction::setAnimationTimingFunction(quartz::TimingFunction::easeInEaseOut());
    Transaction::setCompletionBlock([block = std::move(completionBlock)] {
        if (block) block();
    });
    moveActiveLayer(animated, frame, "animation", kFrameDurationWithCompletion, false);
    Transaction::commit();
}

void KXImageView::_moveImageInContent() {
    _operation = 7;
    if (!_imageLayer) return;
    const Rect f = _imageLayer->frame();
    if (f.midX() > 0 && f.midX() < width() && f.midY() > 0 && f.midY() < height()) return;
    centerImageAnimated(true);
}

void KXImageView::zoomToFitAnimated(bool animated) {
    if (_isCompareMode) {
        fitCompareModeAnimated(true);
        return;
    }
    Layer* active = _previewImage ? _previewLayer.get() : _imageLayer.get();
    const Size p = _previewImage ? _correctedPreviewSize : _correctedSize;
    if (p.width == 0 || p.height == 0) return;
    _activeLayer = _previewImage ? _previewLayer : _imageLayer;
    // The picture's size turned by the crop tool's angle (through degrees, with a float pi).
    const double degrees = _rotationAngle * 180.0 / graphics::kPiF32;
    const double radians = degrees * graphics::kPiF32 / 180.0;
    const Size r = graphics::AffineTransform::makeRotation(radians).apply(p);
    const Rect e = extraVisibleRect();
    const float sx = (float(e.width()) - kFitMargin) / float(std::fabs(r.width));
    const float sy = (float(e.height()) - kFitMargin) / float(std::fabs(r.height));
    _autoCenterEnabled = true;
    setScale(sx <= 1 || sy <= 1 ? double(std::min(sx, sy)) : 1.0);
    const double w = p.width * _scale, h = p.height * _scale;
    const Rect frame(graphics::roundf32(e.minX() + e.width() / 2 - w / 2),
                     graphics::roundf32(e.minY() + e.height() / 2 - h / 2), w, h);
    {
        TransformAside aside(active);
        const Rect current = active ? active->frame() : Rect(0, 0, 0, 0);
        if (!sameFrame(frame, current)) handleLayerZoomSetAnimated(animated, frame);
    }
    _fitRightShadow();
    if ((_proportionsConstrain == 0 || _proportionsConstrain == 8) && _imageLayer)
        _cropFrame = _imageLayer->frame();
    if (active) active->setNeedsDisplay();
    if (_imageLayer) _imageLayer->setNeedsDisplay();
    if (_cropLayer) _cropLayer->setNeedsDisplay();
    _fitRightShadow();
}

void KXImageView::zoomToFitAnimated(bool animated, std::function<void()> completionBlock) {
    // The preview layer as it is: made here, the first preview would have nothing to fade in.
    Layer* active = _previewImage ? _previewLayer.get() : _imageLayer.get();
    _activeLayer = _previewImage ? _previewLayer : _imageLayer;
    const Size s = _previewImage ? _previewImage->pointSize() : _image ? _image->pointSize() : Size{};
    if (s.width <= 0 || s.height <= 0) {
        if (completionBlock) completionBlock();
        return;
    }
    const Rect e = extraVisibleRect();
    float sx = (float(e.width()) - kFitMargin) / float(s.width);
    float sy = (float(e.height()) - kFitMargin) / float(s.height);
    if (!canZoomToFit() && _previewImage && _image) {
        // Shown at the size at which the unedited photo would be shown.
        sx = float(_image->pointSize().width) / float(s.width);
        sy = float(_image->pointSize().height) / float(s.height);
    }
    setScale(sx < 1 || sy < 1 || _previewImage ? double(std::min(sx, sy)) : 1.0);
    if (active && !active->transform().isIdentity())
        active->setTransform(graphics::AffineTransform::identity());
    const double w = graphics::roundf32(s.width * _scale), h = graphics::roundf32(s.height * _scale);
    const Rect frame(graphics::roundf32(e.minX() + e.width() / 2 - w / 2),
                     graphics::roundf32(e.minY() + e.height() / 2 - h / 2), w, h);
    const Rect current = active ? active->frame() : Rect(0, 0, 0, 0);
    if (!sameFrame(frame, current))
        handleLayerZoomSetAnimated(animated, frame, std::move(completionBlock));
    else if (completionBlock)
        completionBlock();
    _autoCenterEnabled = true;
    _fitRightShadow();
}

void KXImageView::zoomInAnimated(bool animated) {
    if (_previewImage || !_imageLayer) return;
    if (animated && _imageLayer->hasRunningAnimations(quartz::Clock::now())) return;
    const double oldScale = _scale;
    setScale(std::min(_scale * kZoomInFactor, 1.0));
    {
        TransformAside aside(_imageLayer.get());
        const Rect f = _imageLayer->frame();
        const double w = _correctedSize.width * _scale, h = _correctedSize.height * _scale;
        const Rect frame(std::round(f.midX() - w / 2), std::round(f.midY() - h / 2), w, h);
        _activeLayer = _imageLayer;
        handleLayerZoomSetAnimated(animated, frame);
    }
    if (!(oldScale >= 1 && _scale >= 1)) _imageLayer->setNeedsDisplay();
}

void KXImageView::zoomOutAnimated(bool animated) {
    if (_previewImage || !_imageLayer || !canZoomOut()) return;
    if (animated && _imageLayer->hasRunningAnimations(quartz::Clock::now())) return;
    _operation = 0;
    const double oldScale = _scale;
    setScale(_scale * kZoomOutFactor);
    {
        TransformAside aside(_imageLayer.get());
        const Rect f = _imageLayer->frame();
        const double w = _correctedSize.width * _scale, h = _correctedSize.height * _scale;
        const Rect frame(std::round(f.midX() - w / 2), std::round(f.midY() - h / 2), w, h);
        _activeLayer = _imageLayer;
        handleLayerZoomSetAnimated(animated, frame);
    }
    if (!(oldScale >= 1 && _scale >= 1)) _imageLayer->setNeedsDisplay();
}

void KXImageView::zoomToActualSizeAnimated(bool animated) {
    if (_previewImage || !_imageLayer) return;
    _operation = 2;
    setScale(1.0);
    {
        TransformAside aside(_imageLayer.get());
        const double contentScale = contentScaleForLayer(_imageLayer.get());
        const double w = _correctedSize.width / contentScale, h = _correctedSize.height / contentScale;
        const Rect e = extraVisibleRect();
        const Rect frame(std::round(e.minX() + e.width() / 2 - w / 2),
                         std::round(e.minY() + e.height() / 2 - h / 2), w, h);
        _activeLayer = _imageLayer;
        handleLayerZoomSetAnimated(animated, frame);
    }
    _imageLayer->setNeedsDisplay();
}

void KXImageView::centerImageAnimated(bool animated) {
    if (_backgroundLayer) _backgroundLayer->setNeedsDisplay();
    _autoCenterEnabled = true;
    if (!_imageLayer) return;
    const Size s = _image ? _image->pointSize() : Size{};
    const double w = s.width * _scale, h = s.height * _scale;
    const float dx = float(width()) / 2 - float(_previousBoundsRect.width()) / 2;
    const float dy = float(height()) / 2 - float(_previousBoundsRect.height()) / 2;
    {
        TransformAside aside(_imageLayer.get());
        const Point position = _imageLayer->position();
        const Rect frame(position.x + dx - w / 2, position.y - dy - h / 2, w, h);
        _activeLayer = _imageLayer;
        handleLayerZoomSetAnimated(animated, frame);
    }
    _cropFrame =
        Rect(_cropFrame.minX() + dx, _cropFrame.minY() - dy, _cropFrame.width(), _cropFrame.height());
    validateCropLayerFrame();
}

void KXImageView::validateCropLayerFrame() {
    {
        NoActions noActions;
        const double cropHeight = _cropLayer ? _cropLayer->frame().height() : 0;
        _cropFrame = Rect(_cropFrame.minX(), _cropFrame.minY() - (cropHeight - height()), _cropFrame.width(),
                          _cropFrame.height());
        if (_cropLayer) {
            _cropLayer->setFrame(Rect(0, 0, width(), height()));
            _cropLayer->setNeedsDisplay();
        }
    }
    _fitRightShadow();
}

void KXImageView::_fitRightShadow() {
    {
        NoActions noActions;
        const Rect visible = visibleRect();
        if (_backgroundLayer) _backgroundLayer->setFrame(visible);
        if (_rightShadowLayer) {
            Rect f = _rightShadowLayer->frame();
            f.origin.x = visible.minX() + visible.width() - kShadowStripWidth;
            _rightShadowLayer->setFrame(f);
        }
    }
    if (_backgroundLayer) _backgroundLayer->setNeedsDisplay();
}
