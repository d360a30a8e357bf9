// The mask canvas's window scrollers, kept in step with its visible part both ways, and the
// wheel and trackpad gestures that pan and zoom it.
#include "controls/KXScroller.h"
#include "imageview/CIMicroPaintView.h"
#include "platform/services/KXServiceUtils.h"

#include <QEvent>

#include <cmath>

namespace {

// The scrollers' lengths lose this much in the window layout that overlaps them.
constexpr double kOverlappingScrollersMargin = 33;
constexpr float kSmallestMagnification = 0.01f;

CanvasGeometry::ScrollerPart partOf(KXScroller::HitPart part) {
    switch (part) {
    case KXScroller::kKnob:
        return CanvasGeometry::ScrollerPart::Knob;
    case KXScroller::kDecrementPage:
        return CanvasGeometry::ScrollerPart::DecrementPage;
    case KXScroller::kIncrementPage:
        return CanvasGeometry::ScrollerPart::IncrementPage;
    default:
        return CanvasGeometry::ScrollerPart::Other;
    }
}

} // namespace

void CIMicroPaintView::refreshGeometry() {
    if (const QWidget* parent = parentWidget())
        _geometry.superviewFrame = graphics::Rect(0, 0, parent->width(), parent->height());
    if (_hScroller)
        _geometry.horizontalScroller =
            graphics::Size{double(_hScroller->width()), double(_hScroller->height())};
    if (_vScroller)
        _geometry.verticalScroller =
            graphics::Size{double(_vScroller->width()), double(_vScroller->height())};
}

void CIMicroPaintView::showScrollerState() {
    const auto show = [](KXScroller* scroller, const ScrollerState& state) {
        if (!scroller) return;
        scroller->setHidden(!state.shown);
        if (!state.shown) return;
        scroller->setKnobProportion(state.knobProportion);
        scroller->setDoubleValue(state.value);
    };
    show(_hScroller, _frameState.horizontal);
    show(_vScroller, _frameState.vertical);
    if (_scrollerSqare) _scrollerSqare->setHidden(!_frameState.squareShown);
}

void CIMicroPaintView::setControlVerticalScroller(KXScroller* vertical, KXScroller* horizontal,
                                                  QWidget* square) {
    const auto take = [this](QPointer<KXScroller>& field, KXScroller* scroller,
                             void (CIMicroPaintView::*action)(KXScroller*)) {
        if (field == scroller) return;
        if (field) disconnect(field, &KXScroller::action, this, nullptr);
        field = scroller;
        if (!scroller) return;
        scroller->hide();
        connect(scroller, &KXScroller::action, this,
                [this, action](KXScroller* sender) { (this->*action)(sender); });
    };
    take(_vScroller, vertical, &CIMicroPaintView::verticalScroll);
    take(_hScroller, horizontal, &CIMicroPaintView::horizontalScroll);
    if (_scrollerSqare != square) {
        _scrollerSqare = square;
        if (square) square->hide();
    }
    _geometry.widthMargin =
        services::KXServiceUtils::currentVersionCompare("10.7.0") == 1 ? kOverlappingScrollersMargin : 0;
}

void CIMicroPaintView::horizontalScroll(KXScroller* scroller) {
    if (!scroller) return;
    refreshGeometry();
    const graphics::Rect real = realFrame();
    const std::optional<double> x = _geometry.horizontalScrolled(
        partOf(scroller->hitPart()), scroller->doubleValue(), _geometry.validateFrame(real));
    if (!x) return;
    placeRealFrame(graphics::Rect(*x, real.minY(), real.width(), real.height()));
}

void CIMicroPaintView::verticalScroll(KXScroller* scroller) {
    if (!scroller) return;
    refreshGeometry();
    const graphics::Rect real = realFrame();
    const std::optional<double> y = _geometry.verticalScrolled(
        partOf(scroller->hitPart()), scroller->doubleValue(), _geometry.validateFrame(real));
    if (!y) return;
    placeRealFrame(graphics::Rect(real.minX(), *y, real.width(), real.height()));
}

// ---- Wheel and gestures

bool CIMicroPaintView::event(QEvent* qtEvent) {
    if (qtEvent->type() != QEvent::Wheel && qtEvent->type() != QEvent::NativeGesture)
        return SampleCIView::event(qtEvent);
    const std::optional<appkit::Event> e = _eventAdaptor.eventFrom(*qtEvent, *this);
    if (!e) return SampleCIView::event(qtEvent);
    switch (e->type) {
    case appkit::EventType::ScrollWheel:
        scrollWheel(*e);
        break;
    case appkit::EventType::Magnify:
        magnifyWithEvent(*e);
        break;
    case appkit::EventType::BeginGesture:
        beginGestureWithEvent(*e);
        break;
    case appkit::EventType::EndGesture:
        endGestureWithEvent(*e);
        break;
    default:
        return SampleCIView::event(qtEvent);
    }
    qtEvent->accept();
    return true;
}

void CIMicroPaintView::scrollWheel(const appkit::Event& e) {
    const bool option = e.modifierFlags & appkit::OptionKey;
    if (!option && _isGestureProcessed) {
        scrollFromEvent(e);
        return;
    }
    if (e.hasPreciseScrollingDeltas && !option) return;
    if (e.deltaY > 0)
        zoomIn();
    else if (e.deltaY < 0)
        zoomOut();
}

void CIMicroPaintView::scrollFromEvent(const appkit::Event& e) {
    refreshGeometry();
    graphics::Rect moved = realFrame();
    moved.origin = _geometry.scrolledBy(e.scrollingDeltaX, e.scrollingDeltaY, _geometry.validateFrame(moved));
    placeRealFrame(moved);
}

void CIMicroPaintView::magnifyWithEvent(const appkit::Event& e) {
    if (e.type != appkit::EventType::Magnify) return;
    const float magnification = float(e.magnification);
    if (std::fabs(magnification) < kSmallestMagnification) return;
    if (magnification > 0)
        zoomIn();
    else
        zoomOut();
}
