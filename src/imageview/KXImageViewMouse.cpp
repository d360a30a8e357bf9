// How the image view answers the pointer, the wheel and trackpad gestures: panning, the crop
// frame's drags, the effect centre, the double-click action, pinch zoom, the straightening
// gesture, cursor rectangles and dropped photos.
#include "imageview/KXImageView.h"

#include "imageview/LayerScopes.h"
#include "platform/appkit/CursorRects.h"
#include "platform/appkit/DeferredCall.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/graphics/SinglePrecision.h"
#include "platform/quartz/BasicAnimation.h"
#include "platform/quartz/TimingFunction.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>

using appkit::Event;
using appkit::EventType;
using graphics::f32;
using graphics::kPiF32;
using graphics::Point;
using graphics::Rect;
using graphics::Size;
using quartz::Layer;

namespace {

constexpr int64_t kWholeFrame = std::numeric_limits<int64_t>::max();
constexpr double kFrameKeptInside = 5;
constexpr double kPictureKeptInside = 100;
constexpr double kScrollFactor = 2.5;
constexpr float kSmallestMagnification = 0.01f;
constexpr float kPinchFactor = 1.03f;
constexpr double kFactorZoomLargestSide = 10000;
constexpr double kBackgroundMenuLowestY = 235;

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

Point offsetBy(Point p, Point from, Point to, Point origin) {
    return {p.x + to.x - from.x - origin.x, p.y + to.y - from.y - origin.y};
}

} // namespace

// ---- Qt's events, through the adaptor

bool KXImageView::event(QEvent* qtEvent) {
    const std::optional<Event> e = _eventAdaptor.eventFrom(*qtEvent, *this);
    if (!e) return quartz::LayerHostWidget::event(qtEvent);
    switch (e->type) {
    case EventType::LeftMouseDown:
        _doubleClickDown = e->clickCount == 2;
        mouseDown(*e);
        break;
    case EventType::LeftMouseDragged:
        if (!_doubleClickDown) mouseDragged(*e);
        break;
    case EventType::LeftMouseUp:
        mouseUp(*e);
        break;
    case EventType::RightMouseDown:
        rightMouseDown(*e);
        break;
    case EventType::MouseEntered:
        mouseEntered(*e);
        return quartz::LayerHostWidget::event(qtEvent);
    case EventType::ScrollWheel:
        scrollWheel(*e);
        break;
    case EventType::Magnify:
        magnifyWithEvent(*e);
        break;
    case EventType::Rotate:
        rotateWithEvent(*e);
        break;
    case EventType::BeginGesture:
        beginGestureWithEvent(*e);
        break;
    case EventType::EndGesture:
        endGestureWithEvent(*e);
        break;
    default:
        return quartz::LayerHostWidget::event(qtEvent);
    }
    qtEvent->accept();
    return true;
}

// ---- Mouse

void KXImageView::mouseDown(const Event& e) {
    if (_isDisabled) return;
    if (e.clickCount == 2) {
        const std::string action = foundation::UserDefaults::standardUserDefaults()
                                       .stringForKey("k_Double_Click_Action")
                                       .value_or("");
        const std::string key = lowered(action);
        const int64_t tool = _delegate ? _delegate->currentMainTool() : 0;
        if (key == "hide bottom menu" && (tool == 0 || tool == 4)) {
            if (_postProcessDelegate) _postProcessDelegate->previewDoubleClickedWithActionString(action);
        } else if (key == "image fit to screen" || key == "hide bottom menu") {
            zoomToFitAnimated(true);
            commitChangesAnimated(false);
        }
        return;
    }
    const Point p = e.location;
    _clickPoint = p;
    _originalOrigin = layer().bounds().origin;
    Layer& image = imageLayer();
    TransformAside aside(&image);

    if (_previewImage && _previewLayer && wantsCrosshair() && currentCursorIs(_customCrosshairCursor) &&
        _postProcessDelegate) {
        const Rect f = _previewLayer->frame();
        const Rect b = _previewLayer->bounds();
        _postProcessDelegate->previewClickedAtPoint(
            Point{p.x - f.minX() + b.minX(), p.y - f.minY() + b.minY()}, f);
    }

    if (!_isCropOn) {
        _autoCenterEnabled = false;
        if (e.modifierFlags & appkit::CommandKey) {
            if (_previewImage) return;
            centerImageAnimated(true);
        }
        _startDragPoint = image.frame().origin;
        if (needsToShowOpenHand() && currentCursorIs(QCursor(Qt::OpenHandCursor)))
            setCursor(Qt::ClosedHandCursor);
        else if (!wantsCrosshair())
            setCursor(Qt::ArrowCursor);
        return;
    }

    _startCropPoint = _cropFrame.origin;
    _cropDragCornerIndex = kWholeFrame;
    setCursor(needsToShowOpenHand() ? Qt::ClosedHandCursor : Qt::ArrowCursor);
    const struct {
        Rect handle;
        Point corner;
        const QCursor& cursor;
    } handles[] = {{ltCornerRect(), _ltCornerPosition, _customCropLeftCursor},
                   {rtCornerRect(), _rtCornerPosition, _customCropRightCursor},
                   {rbCornerRect(), _rbCornerPosition, _customCropLeftCursor},
                   {lbCornerRect(), _lbCornerPosition, _customCropRightCursor}};
    for (int64_t i = 0; i < 4; ++i) {
        if (!handles[i].handle.contains(p)) continue;
        setCursor(handles[i].cursor);
        _cropDragCornerIndex = i;
        _startCropPoint = handles[i].corner;
        _activeCropCursor = handles[i].cursor;
        return;
    }
    if (!_cropFrame.contains(p)) {
        _autoCenterEnabled = false;
        _startCropPoint = Point{0, 0};
        _startDragPoint = image.frame().origin;
    }
}

Point KXImageView::keptInside(Point o, Size size, double margin) const {
    // The view's own rectangle: its place in the window does not matter here.
    const Rect v = layer().bounds();
    const double b = bottomStrip();
    if (o.x + size.width - margin < v.minX()) o.x = margin - size.width;
    if (o.y + size.height - margin < b + v.minY()) o.y = b + margin - size.height;
    if (o.x > v.width() - margin) o.x = v.width() - margin;
    if (o.y > v.height() - margin) o.y = v.height() - margin;
    return o;
}

void KXImageView::moveImageLayerOrigin(Point origin) {
    Layer& image = imageLayer();
    TransformAside aside(&image);
    quartz::Transaction::begin();
    quartz::Transaction::setAnimationDuration(0);
    quartz::Transaction::setDisableActions(true);
    image.setFrame(Rect(origin, image.frame().size));
    quartz::Transaction::commit();
}

void KXImageView::mouseDragged(const Event& e) {
    if (_isDisabled) return;
    const Point p = e.location;
    if (_isCropOn && !(_startCropPoint == Point{0, 0})) {
        Point P = offsetBy(_startCropPoint, _clickPoint, p, _originalOrigin);
        if (_cropDragCornerIndex < 0 || _cropDragCornerIndex > 3) {
            const Size s = _cropFrame.size;
            setCropFrame(Rect(keptInside(P, s, kFrameKeptInside), s));
        } else {
            if (_activeCropCursor) setCursor(*_activeCropCursor);
            P = keptInside(P, Size{0, 0}, kFrameKeptInside);
            switch (_cropDragCornerIndex) {
            case 0:
                setLtCornerPosition(P);
                break;
            case 1:
                setRtCornerPosition(P);
                break;
            case 2:
                setRbCornerPosition(P);
                break;
            default:
                setLbCornerPosition(P);
                break;
            }
            limitCropFrameAfterDrag(_cropDragCornerIndex);
        }
        redrawCropLayer();
        updateCropFields();
    } else {
        if (_previewImage) return;
        Layer& image = imageLayer();
        Rect moved;
        {
            TransformAside aside(&image);
            const Size s = image.frame().size;
            moveImageLayerOrigin(keptInside(offsetBy(_startDragPoint, _clickPoint, p, _originalOrigin), s,
                                            kPictureKeptInside));
            moved = image.frame();
        }
        if (moved.contains(p)) setCursor(Qt::ClosedHandCursor);
    }
    validateCropButton();
}

void KXImageView::mouseUp(const Event& e) {
    if (_isDisabled) return;
    if (_delegate) _delegate->imageScaleDidChange(_scale, this);
    if (needsToShowOpenHand() && imageLayer().frame().contains(e.location))
        setCursor(Qt::OpenHandCursor);
    else if (!wantsCrosshair())
        setCursor(Qt::ArrowCursor);
    if (_activeCropCursor && _isCropOn) {
        setCursor(*_activeCropCursor);
        _activeCropCursor.reset();
    }
    invalidateCursorRects();
}

void KXImageView::rightMouseDown(const Event& e) {
    const Point p = e.location;
    const Layer& target = _previewImage && _previewLayer ? *_previewLayer : imageLayer();
    const Rect f = target.frame(), b = target.bounds();
    const Point inLayer{p.x - f.minX() + b.minX(), p.y - f.minY() + b.minY()};
    if (!b.contains(inLayer) && p.y > kBackgroundMenuLowestY && _delegate)
        _delegate->showBackgroundPopUpFromPoint(p, this);
}

void KXImageView::mouseEntered(const Event&) {
    if (!_isDisabled) invalidateCursorRects();
}

// ---- Cursors

bool KXImageView::currentCursorIs(const QCursor& wanted) const {
    return cursor() == wanted;
}

void KXImageView::forceCustomCursorSet() {
    _forceCustomCursor = true;
    invalidateCursorRects();
}

std::optional<QCursor> KXImageView::cursorRectAt(Point point) {
    return _cursorRects ? _cursorRects->cursorAt(point) : std::nullopt;
}

void KXImageView::resetCursorRects(appkit::CursorRects& rects) {
    if (_isDisabled) return;
    const double b = bottomStrip();
    if (needsToShowOpenHand()) {
        Rect r = imageLayer().frame();
        if (_isCropOn) {
            r.origin.y += b;
            r.size.height -= b;
        } else {
            const Rect visible = extraVisibleRect();
            if (r.height() > visible.height()) r = visible;
        }
        // The strip the browser covers, across the whole view.
        if (r.intersects(Rect(0, 0, width(), b))) {
            r.size.height -= b - r.minY();
            r.origin.y = b;
        }
        rects.addCursorRect(r, QCursor(Qt::OpenHandCursor));
    }
    if (((wantsCrosshair() && _previewImage) || _forceCustomCursor) && _previewLayer)
        rects.addCursorRect(_previewLayer->frame(), _customCrosshairCursor);
    if (_isCropOn) {
        rects.addCursorRect(ltCornerRect(), _customCropLeftCursor);
        rects.addCursorRect(rbCornerRect(), _customCropLeftCursor);
        rects.addCursorRect(lbCornerRect(), _customCropRightCursor);
        rects.addCursorRect(rtCornerRect(), _customCropRightCursor);
    }
}

// ---- Wheel

void KXImageView::scrollWheel(const Event& e) {
    if (_isDisabled || _previewImage) return;
    const bool option = e.modifierFlags & appkit::OptionKey;
    if (!option && _isGestureProcessed) {
        scrollFromEvent(e);
        validateCropButton();
        return;
    }
    if (e.hasPreciseScrollingDeltas && !option) return;
    if (e.modifierFlags != 0) {
        if (e.deltaY > 0)
            zoomInAnimated(true);
        else if (e.deltaY < 0)
            zoomOutAnimated(true);
    }
    validateCropButton();
}

void KXImageView::scrollFromEvent(const Event& e) {
    if (_previewImage) return;
    const double sign = e.isDirectionInvertedFromDevice ? 1 : -1;
    const double dx = e.deltaX * kScrollFactor * sign, dy = e.deltaY * kScrollFactor * sign;
    if (dx == 0 && dy == 0) return;
    Layer& image = imageLayer();
    TransformAside aside(&image);
    const Rect f = image.frame();
    moveImageLayerOrigin(keptInside(Point{f.minX() + dx, f.minY() - dy}, f.size, kPictureKeptInside));
}

// ---- Gestures

void KXImageView::magnifyWithEvent(const Event& e) {
    if (e.type != EventType::Magnify || _isRotationProcessed) return;
    _isZoomingProcessed = true;
    const float magnification = float(e.magnification);
    if (std::fabs(magnification) < kSmallestMagnification) return;
    if (magnification > 0)
        zoomInAnimated(false, double(kPinchFactor));
    else
        zoomOutAnimated(false, double(kPinchFactor));
    validateCropButton();
}

void KXImageView::zoomInAnimated(bool animated, double factor) {
    if (_previewImage || !_imageLayer) return;
    const Rect f = _imageLayer->frame();
    if (contentScaleForLayer(_imageLayer.get()) * std::max(f.width(), f.height()) > kFactorZoomLargestSide)
        return;
    const double oldScale = _scale;
    setScale(std::min(1.0, _scale * factor));
    const double w = _correctedSize.width * _scale, h = _correctedSize.height * _scale;
    {
        TransformAside aside(_imageLayer.get());
        const Rect old = _imageLayer->frame();
        const Rect frame(std::round(float(old.midX()) - float(w) / 2),
                         std::round(float(old.midY()) - float(h) / 2), w, h);
        _activeLayer = _imageLayer;
        handleLayerZoomSetAnimated(animated, frame);
    }
    if (oldScale < 1 || _scale < 1) delayedSetNeedDisplayForImageLayer();
}

void KXImageView::zoomOutAnimated(bool animated, double factor) {
    if (_previewImage || !_imageLayer || !canZoomOut()) return;
    _operation = 0;
    const double oldScale = _scale;
    setScale(_scale / factor);
    const double w = _correctedSize.width * _scale, h = _correctedSize.height * _scale;
    {
        TransformAside aside(_imageLayer.get());
        const Rect old = _imageLayer->frame();
        const Rect frame(std::round(float(old.midX()) - float(w) / 2),
                         std::round(float(old.midY()) - float(h) / 2), w, h);
        _activeLayer = _imageLayer;
        handleLayerZoomSetAnimated(animated, frame);
    }
    if (oldScale < 1 || _scale < 1) delayedSetNeedDisplayForImageLayer();
}

void KXImageView::delayedSetNeedDisplayForImageLayer() {
    const QObject* target = this;
    appkit::DeferredCall::cancelPreviousPerformRequests(target, "delayedSetNeedDisplayForImageLayer");
    appkit::DeferredCall::perform(target, "delayedSetNeedDisplayForImageLayer", 0.1, [this] {
        if (_imageLayer) _imageLayer->setNeedsDisplay();
    });
}

void KXImageView::rotateWithEvent(const Event& e) {
    if (e.type != EventType::Rotate || _isZoomingProcessed || !_isCropOn) return;
    _isRotationProcessed = true;
    rotate(_rotationAngle + double(float(e.rotation) / 40.0f));
    validateCropButton();
    if (_isCropOn)
        foundation::NotificationCenter::defaultCenter().postNotificationName("kAngleDegreesChanged");
}

void KXImageView::beginGestureWithEvent(const Event&) {
    _isGestureProcessed = true;
}

void KXImageView::endGestureWithEvent(const Event&) {
    validateCropButton();
    if (!_isCropOn && _isRotationProcessed && _delegate) _delegate->finalizeRotationGesture();
    _isGestureProcessed = _isZoomingProcessed = _isRotationProcessed = false;
}

double KXImageView::getValidatedRotationDegree(double a) {
    if (a >= 360)
        a -= 360;
    else if (a <= -360)
        a += 360;
    const bool positive = a >= 0;
    int n = 0;
    if (positive) {
        for (; a > 90; a -= 90)
            ++n;
    } else {
        for (; a < -90; a += 90)
            ++n;
    }
    const int k = std::fabs(a) > 15 ? n + 1 : n;
    return positive ? -k * 90.0 : k * 90.0;
}

void KXImageView::rotateViewAfterGesture(double degrees) {
    ++_countRotations;
    quartz::BasicAnimation turn("transform.rotation");
    turn.setDelegate(this);
    turn.setDuration(f32(0.1));
    turn.setTimingFunction(quartz::TimingFunction::linear());
    turn.setFillsForwards(true);
    turn.setRemovedOnCompletion(false);
    turn.setFromValue(f32(-(rotationAngle() / 180 * kPiF32)));
    // Ends where the turned picture stands, as every other turn of the view does.
    turn.setToValue(f32(degrees / 180 * kPiF32));
    imageLayer();
    const std::shared_ptr<Layer> turning = _imageLayer;
    turning->addAnimation(turn, "animateLayer");
    graphics::ImagePtr turned = rotatedImage(_image, degrees);
    if (turned && turned != _image) setImage(std::move(turned));
    _rotationAngle = 0;
}

// ---- Drops

bool KXImageView::delegateReads(const QMimeData* pasteboard) const {
    return _delegate && pasteboard && _delegate->canReadDataFromPasteboard(pasteboard);
}

int KXImageView::draggingEntered(const QMimeData* pasteboard, bool sourceAllowsCopy) {
    return delegateReads(pasteboard) && sourceAllowsCopy ? 1 : 0;
}

bool KXImageView::prepareForDragOperation(const QMimeData* pasteboard) {
    return delegateReads(pasteboard);
}

bool KXImageView::performDragOperation(const QMimeData* pasteboard) {
    if (!delegateReads(pasteboard) || !_delegate->respondsToReadDataFromPasteboard()) return false;
    _delegate->readDataFromPasteboard(pasteboard);
    return true;
}

void KXImageView::dragEnterEvent(QDragEnterEvent* event) {
    dragMoveEvent(event);
}

void KXImageView::dragMoveEvent(QDragMoveEvent* event) {
    if (draggingEntered(event->mimeData(), event->possibleActions() & Qt::CopyAction) == 1) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void KXImageView::dropEvent(QDropEvent* event) {
    if (prepareForDragOperation(event->mimeData()) && performDragOperation(event->mimeData())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}
