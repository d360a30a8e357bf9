#include "imageview/KXImageView.h"

#include "controls/ImageAdditional.h"
#include "controls/SharedBundle.h"
#include "imageview/CIFilterSetAlpha.h"
#include "imageview/LayerScopes.h"
#include "platform/appkit/CursorRects.h"
#include "platform/appkit/DeferredCall.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/graphics/SinglePrecision.h"
#include "platform/quartz/AnimationGroup.h"
#include "platform/quartz/BasicAnimation.h"
#include "platform/quartz/Transaction.h"
#include "platform/services/KXServiceUtils.h"

#include <QPixmap>
#include <algorithm>
#include <cmath>
#include <limits>
#include <mutex>

using graphics::Point;
using graphics::Rect;
using graphics::Size;
using quartz::Layer;
using quartz::Transaction;

namespace {

constexpr double kShadowStripWidth = 461;
constexpr double kFadeDuration = 0.5;

Point centre(const Rect& r) {
    return {r.midX(), r.midY()};
}

bool differs(double a, double b) {
    return std::isnan(a) || std::isnan(b) || a != b;
}

// The display form of a picture: premultiplied 8-bit, made once per picture. Opaque R,G,B,X
// bytes (a photo as read) are a layout the painter takes as it is: shared, not copied.
quartz::Contents displayBitmap(const graphics::ImagePtr& image) {
    if (!image) return nullptr;
    const graphics::PixelFormat rgbx{
        8, {graphics::Channel::R, graphics::Channel::G, graphics::Channel::B, graphics::Channel::X}, false};
    if (image->format() == rgbx) {
        auto kept = std::make_unique<graphics::ImagePtr>(image); // the pixels live as long as the bitmap
        QImage shared(
            image->data(), image->width(), image->height(), qsizetype(image->rowBytes()),
            QImage::Format_RGBX8888, [](void* p) { delete static_cast<graphics::ImagePtr*>(p); }, kept.get());
        if (!shared.isNull()) {
            kept.release();
            return std::make_shared<const QImage>(std::move(shared));
        }
    }
    QImage bitmap = ImageAdditional::toQImage(image);
    if (bitmap.isNull()) return nullptr;
    return std::make_shared<const QImage>(std::move(bitmap));
}

Size sizeOf(const quartz::Contents& bitmap) {
    return bitmap ? Size{double(bitmap->width()), double(bitmap->height())} : Size{};
}

} // namespace

KXImageView::KXImageView(QWidget* parent) : quartz::LayerHostWidget(parent) {
    _initilization();
}

KXImageView::~KXImageView() {
    *_alive = false;
    foundation::NotificationCenter::defaultCenter().removeObserver(this);
    // Layers may outlive the view in pending completions: none may call back into it.
    for (auto* layer : {&_imageLayer, &_previewLayer, &_cropLayer, &_backgroundLayer, &_leftShadowLayer,
                        &_rightShadowLayer, &_animationLayer})
        if (*layer) (*layer)->setDelegate(nullptr);
    // Turns and fades still running end now, while their delegate is still this view; the layers
    // would otherwise report to it after it is gone.
    stopAnimations(layer());
    appkit::DeferredCall::cancelPreviousPerformRequests(static_cast<const QObject*>(this));
}

void KXImageView::stopAnimations(quartz::Layer& root) {
    root.removeAllAnimations();
    for (const std::shared_ptr<Layer>& sublayer : std::vector<std::shared_ptr<Layer>>(root.sublayers()))
        stopAnimations(*sublayer);
}

void KXImageView::_initilization() {
    static std::once_flag once;
    std::call_once(once, [] { CIFilterSetAlpha::registerFilter("SetAlpha"); });
    layer().setDelegate(this);
    layer().setBackgroundColor(backgroundColorRef());
    imageLayer();
    _cropDragCornerIndex = std::numeric_limits<int64_t>::max();
    _isCompareMode = false;
    // The view's drop shadow falls under the pictures: the photo's layer carries it, and the
    // preview's while it stands apart in compare mode (over the photo it would darken it twice).
    dropShadow(*_imageLayer, true);
    const auto cursor = [](const char* name, int hotSpot) {
        return QCursor(QPixmap::fromImage(imageNamedAdditional(name)), hotSpot, hotSpot);
    };
    _customCrosshairCursor = cursor("target_cursor", 19);
    _customCropLeftCursor = cursor("crop_resize_cursor_l", 8);
    _customCropRightCursor = cursor("crop_resize_cursor_r", 8);
    _previousBoundsRect = Rect(0, 0, width(), height());
    _cursorRects =
        new appkit::CursorRects(this, [this](appkit::CursorRects& rects) { resetCursorRects(rects); });
    setFocusPolicy(Qt::StrongFocus);
    foundation::NotificationCenter::defaultCenter().addObserver(
        this, "CancelChangesForRotationTab", nullptr,
        [this](const foundation::Notification&) { cancelChangesForRotationTab(); });
}

// ---- Layers

void KXImageView::dropShadow(Layer& picture, bool on) {
    picture.setShadowColor(QColor::fromRgbF(0, 0, 0, 0.8f));
    picture.setShadowOffset(Size{5, -5});
    picture.setShadowRadius(3);
    picture.setShadowOpacity(on ? 1 : 0);
}

std::shared_ptr<Layer> KXImageView::makeLayer(const char* name, const Rect& frame, unsigned mask) {
    layer(); // the root at the widget's size before a new layer is placed in it
    auto created = std::make_shared<Layer>();
    created->setDelegate(this);
    created->setFrame(frame);
    created->setName(name);
    created->setAutoresizingMask(mask);
    return created;
}

void KXImageView::insertBelow(const std::shared_ptr<Layer>& inserted, const Layer* sibling) {
    const auto& sublayers = layer().sublayers();
    for (size_t i = 0; i < sublayers.size(); ++i)
        if (sublayers[i].get() == sibling) {
            layer().insertSublayer(inserted, i);
            return;
        }
    layer().addSublayer(inserted);
}

Layer& KXImageView::imageLayer() {
    if (!_imageLayer) {
        _imageLayer = makeLayer("photo", Rect(0, 0, width(), height()), quartz::kCALayerMinYMargin);
        _imageLayer->setPosition(Point{width() / 2.0, height() / 2.0});
        insertBelow(_imageLayer, _cropLayer.get());
        _imageLayer->setNeedsDisplay();
    }
    return *_imageLayer;
}

Layer& KXImageView::previewLayer() {
    if (!_previewLayer) {
        _previewLayer = makeLayer("previewLayer", _imageLayer ? _imageLayer->frame() : Rect(0, 0, 0, 0),
                                  quartz::kCALayerMinYMargin);
        if (services::KXServiceUtils::isRetina()) _previewLayer->setContentsScale(2.0);
        dropShadow(*_previewLayer, _isCompareMode);
        insertBelow(_previewLayer, _cropLayer ? _cropLayer.get() : _animationLayer.get());
        _previewLayer->setNeedsDisplay();
    }
    return *_previewLayer;
}

Layer& KXImageView::cropLayer() {
    if (!_cropLayer) {
        _cropLayer = makeLayer("crop", _imageLayer ? _imageLayer->frame() : Rect(0, 0, 0, 0),
                               quartz::kCALayerMinYMargin);
        layer().addSublayer(_cropLayer);
        _cropLayer->setHidden(!_isCropOn);
        if (_isCropOn) _cropLayer->setNeedsDisplay();
    }
    return *_cropLayer;
}

Layer& KXImageView::backgroundLayer() {
    if (!_backgroundLayer) {
        _backgroundLayer =
            makeLayer("background", Rect(0, 0, width(), height()), quartz::kCALayerHeightSizable);
        layer().addSublayer(_backgroundLayer);
        _backgroundLayer->setNeedsDisplay();
    }
    return *_backgroundLayer;
}

Layer& KXImageView::leftShadowLayer() {
    if (!_leftShadowLayer) {
        _leftShadowLayer =
            makeLayer("leftShadow", Rect(0, 0, kShadowStripWidth, height()), quartz::kCALayerHeightSizable);
        layer().addSublayer(_leftShadowLayer);
        _leftShadowLayer->setNeedsDisplay();
    }
    return *_leftShadowLayer;
}

Layer& KXImageView::rightShadowLayer() {
    if (!_rightShadowLayer) {
        _rightShadowLayer =
            makeLayer("rightShadow", Rect(x() + width() - kShadowStripWidth, 0, kShadowStripWidth, height()),
                      quartz::kCALayerHeightSizable | quartz::kCALayerMaxXMargin);
        layer().addSublayer(_rightShadowLayer);
        _rightShadowLayer->setNeedsDisplay();
    }
    return *_rightShadowLayer;
}

void KXImageView::setPreviewLayer(std::shared_ptr<Layer> previewLayer) {
    _previewLayer = std::move(previewLayer);
}

bool KXImageView::displayLayer(Layer& layer) {
    if (&layer == _imageLayer.get()) {
        layer.setContents(_imageRef);
        return true;
    }
    if (&layer == _previewLayer.get()) {
        layer.setContents(_previewImageRef);
        return true;
    }
    return false; // the crop frame and the strips draw nothing here
}

// ---- Pictures

void KXImageView::setImage(graphics::ImagePtr image) {
    if (image == _image) return;
    layer(); // brings the root to the widget's size
    _image = std::move(image);
    _imageRef = displayBitmap(_image);
    _correctedSize = sizeOf(_imageRef);
    imageLayer().setNeedsDisplay();
    const float w = float(_correctedSize.width), h = float(_correctedSize.height);
    _maxCropWidthHeight = double(std::round(std::sqrt(w * w + h * h)));
}

void KXImageView::setImage(graphics::ImagePtr image, bool) {
    if (image == _image) return;
    setImage(std::move(image));
    zoomToFitAnimated(false);
}

void KXImageView::setPreviewImage(graphics::ImagePtr image, bool) {
    setPreviewImage(std::move(image));
}

void KXImageView::setPreviewImage(graphics::ImagePtr image) {
    layer(); // brings the root to the widget's size
    if (_imageLayer && _imageLayer->isHidden()) _imageLayer->setHidden(false);
    if (image == _previewImage) return;
    ++_previewGeneration;
    if (!image) {
        {
            NoActions noActions;
            imageLayer().setFrame(_previewLayer ? _previewLayer->frame() : Rect(0, 0, 0, 0));
            _imageLayer->setHidden(false);
            if (_previewLayer) _previewLayer->removeFromSuperlayer();
            _previewLayer.reset();
            _previewImageRef.reset();
            _previewImage.reset();
            _imageLayer->setNeedsDisplay();
        }
        // A fade still running would leave its picture of the old preview over the photo.
        removeSnapshot();
        invalidateCursorRects();
        return;
    }
    if (_isCompareMode) {
        replacePreviewInCompareMode(std::move(image));
        return;
    }
    _previewImage = std::move(image);
    _previewImageRef = displayBitmap(_previewImage);
    _correctedPreviewSize = sizeOf(_previewImageRef);
    const uint64_t generation = _previewGeneration;
    std::weak_ptr<bool> alive = _alive;
    zoomToFitAnimated(false, [this, alive, generation] {
        // A later preview, or the preview's removal, took over.
        if (alive.expired() || generation != _previewGeneration) return;
        showPreviewAfterFit(_previewLayer);
    });
}

std::shared_ptr<Layer> KXImageView::snapshotOf(const Layer& source, double opacity) {
    auto snapshot = std::make_shared<Layer>();
    NoActions noActions;
    snapshot->setBounds(source.bounds());
    snapshot->setPosition(source.position());
    snapshot->setAnchorPoint(source.anchorPoint());
    snapshot->setTransform(source.transform());
    snapshot->setContentsScale(source.contentsScale());
    snapshot->setContents(source.contents());
    snapshot->setDelegate(source.delegate());
    snapshot->setName("animation");
    snapshot->setOpacity(opacity);
    return snapshot;
}

void KXImageView::removeSnapshot() {
    if (!_animationLayer) return;
    _animationLayer->removeFromSuperlayer();
    _animationLayer.reset();
}

void KXImageView::showPreviewAfterFit(std::shared_ptr<Layer> shown) {
    removeSnapshot();
    std::shared_ptr<Layer> snapshot = shown ? snapshotOf(*shown, 0.0) : nullptr;
    _animationLayer = snapshot;
    if (_previewLayer) _previewLayer->removeFromSuperlayer();
    _previewLayer.reset();
    if (snapshot) layer().addSublayer(snapshot);
    previewLayer();
    invalidateCursorRects();

    Transaction::begin();
    Transaction::setAnimationDuration(kFadeDuration);
    Transaction::setAnimationTimingFunction(quartz::TimingFunction::easeInEaseOut());
    std::weak_ptr<bool> alive = _alive;
    // Each fade takes away the snapshot it made, never a later one.
    // The snapshot's own animation keeps this block: it holds the snapshot weakly, or the two
    // would keep each other when the fade never ends.
    Transaction::setCompletionBlock([this, alive, weakSnapshot = std::weak_ptr<Layer>(snapshot)] {
        std::shared_ptr<Layer> snapshot = weakSnapshot.lock();
        if (!snapshot) return;
        snapshot->removeFromSuperlayer();
        if (!alive.expired() && _animationLayer == snapshot) _animationLayer.reset();
    });
    quartz::BasicAnimation fade("opacity");
    fade.setDuration(kFadeDuration);
    fade.setTimingFunction(quartz::TimingFunction::easeInEaseOut());
    if (snapshot) {
        fade.setFromValue(1.0);
        fade.setToValue(0.0);
        snapshot->addAnimation(fade, "animateLayer");
    } else {
        fade.setFromValue(0.0);
        fade.setToValue(1.0);
        _previewLayer->addAnimation(fade, "animateLayer");
    }
    Transaction::commit();
    _forceCustomCursor = false;
    if (_delegate) _delegate->compareModeIsReady(true);
}

void KXImageView::replacePreviewInCompareMode(graphics::ImagePtr image) {
    removeSnapshot();
    std::shared_ptr<Layer> snapshot = _previewLayer ? snapshotOf(*_previewLayer, 1.0) : nullptr;
    _animationLayer = snapshot;
    if (_previewLayer) _previewLayer->removeFromSuperlayer();
    _previewLayer.reset();
    {
        NoActions noActions;
        Layer& fresh = previewLayer();
        if (snapshot) fresh.setPosition(snapshot->position());
    }
    _previewImage = std::move(image);
    _previewImageRef = displayBitmap(_previewImage);
    // Kept up to date here too, so the plain fit after compare mode measures this preview.
    _correctedPreviewSize = sizeOf(_previewImageRef);
    _previewLayer->setNeedsDisplay();
    if (snapshot) insertBelow(snapshot, nullptr);
    invalidateCursorRects();
    Transaction::begin();
    Transaction::setAnimationDuration(kFadeDuration);
    Transaction::setAnimationTimingFunction(quartz::TimingFunction::easeInEaseOut());
    std::weak_ptr<bool> alive = _alive;
    // The snapshot's own animation keeps this block: it holds the snapshot weakly, or the two
    // would keep each other when the fade never ends.
    Transaction::setCompletionBlock([this, alive, weakSnapshot = std::weak_ptr<Layer>(snapshot)] {
        std::shared_ptr<Layer> snapshot = weakSnapshot.lock();
        if (!snapshot) return;
        snapshot->removeFromSuperlayer();
        if (!alive.expired() && _animationLayer == snapshot) _animationLayer.reset();
    });
    if (snapshot) {
        quartz::BasicAnimation fade("opacity");
        fade.setFromValue(1.0);
        fade.setToValue(0.0);
        fade.setDuration(kFadeDuration);
        fade.setTimingFunction(quartz::TimingFunction::easeInEaseOut());
        fade.setRemovedOnCompletion(false);
        fade.setFillsForwards(true);
        snapshot->addAnimation(fade, "opacityAnimation");
    }
    Transaction::commit();
}

Point KXImageView::previewCenter() const {
    const Layer* shown = _previewImage ? _previewLayer.get() : _imageLayer.get();
    if (!shown) return {0, 0};
    return centre(shown->frame());
}

// ---- Scale and modes

void KXImageView::setScale(double newScale) {
    const bool changed = differs(newScale, _scale);
    _scale = newScale;
    if (changed && _isCropOn && _cropLayer) redrawCropLayer();
    if (_delegate) _delegate->imageScaleDidChange(_scale, this);
}

void KXImageView::setDisabled(bool disabled) {
    _isDisabled = disabled;
    setFocusPolicy(acceptsFirstResponder() ? Qt::StrongFocus : Qt::NoFocus);
    invalidateCursorRects();
}

void KXImageView::commitChangesAnimated(bool) {
    if (_imageLayer) _imageLayer->setNeedsDisplay();
    if (_previewImage && _previewLayer) _previewLayer->setNeedsDisplay();
    for (Layer* strip : {_backgroundLayer.get(), _leftShadowLayer.get(), _rightShadowLayer.get()})
        if (strip) strip->setNeedsDisplay();
}

void KXImageView::refreshBackground() {
    _fitRightShadow();
}

void KXImageView::invalidateCursorRects() {
    if (_cursorRects) _cursorRects->invalidate();
}

// ---- Colours

const QColor& KXImageView::backgroundColorRef() {
    static const QColor colour = QColor::fromRgbF(0, 0, 0, 0);
    return colour;
}
const QColor& KXImageView::whiteColor() {
    static const QColor colour = QColor::fromRgbF(1, 1, 1, 1);
    return colour;
}
const QColor& KXImageView::blackColor() {
    static const QColor colour = QColor::fromRgbF(0, 0, 0, 1);
    return colour;
}
const QColor& KXImageView::redColor() {
    static const QColor colour = QColor::fromRgbF(1, 0, 0, 1);
    return colour;
}
const QColor& KXImageView::greenColor() {
    static const QColor colour = QColor::fromRgbF(0, 1, 0, 1);
    return colour;
}
const QColor& KXImageView::layerBackgroundColor() {
    static const QColor colour = QColor::fromRgbF(0, 0, 0, 0.5f);
    return colour;
}
const QColor& KXImageView::clearColor() {
    static const QColor colour = QColor::fromRgbF(1, 1, 1, 0);
    return colour;
}
