#include "platform/appkit/EventAdaptor.h"

#include "platform/appkit/Coordinates.h"

#include <QCursor>
#include <QEvent>
#include <QInputEvent>
#include <QWidget>

namespace appkit {

namespace {

// A notch of a wheel turns Qt's angle by 120 eighths of a degree; it scrolls one line. Precise
// (pixel) deltas count a line as this many points.
constexpr double kAnglePerLine = 120.0;
constexpr double kPointsPerLine = 10.0;

unsigned flagsFrom(Qt::KeyboardModifiers modifiers) {
    unsigned flags = 0;
    if (modifiers & Qt::ShiftModifier) flags |= ShiftKey;
    if (modifiers & Qt::ControlModifier) flags |= CommandKey;
    if (modifiers & Qt::MetaModifier) flags |= ControlKey;
    if (modifiers & Qt::AltModifier) flags |= OptionKey;
    return flags;
}

int buttonNumber(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton:
        return 0;
    case Qt::RightButton:
        return 1;
    case Qt::MiddleButton:
        return 2;
    default:
        break;
    }
    // Further buttons follow in Qt's bit order (the back button, 0x8, is 3).
    int number = 0;
    for (unsigned bits = unsigned(button); bits > 1; bits >>= 1)
        ++number;
    return number;
}

enum class Stage { Down, Up, Dragged };

EventType mouseType(Stage stage, Qt::MouseButton button) {
    const int kind = button == Qt::LeftButton ? 0 : button == Qt::RightButton ? 1 : 2;
    static constexpr EventType table[3][3] = {
        {EventType::LeftMouseDown, EventType::LeftMouseUp, EventType::LeftMouseDragged},
        {EventType::RightMouseDown, EventType::RightMouseUp, EventType::RightMouseDragged},
        {EventType::OtherMouseDown, EventType::OtherMouseUp, EventType::OtherMouseDragged},
    };
    return table[kind][int(stage)];
}

// The button a drag is made with: the lowest one held, as a press would have named it.
Qt::MouseButton heldButton(Qt::MouseButtons buttons) {
    if (buttons & Qt::LeftButton) return Qt::LeftButton;
    if (buttons & Qt::RightButton) return Qt::RightButton;
    for (unsigned bit = 1; bit; bit <<= 1)
        if (unsigned(buttons) & bit) return Qt::MouseButton(bit);
    return Qt::NoButton;
}

EventPhase phaseFrom(Qt::ScrollPhase phase) {
    switch (phase) {
    case Qt::ScrollBegin:
        return EventPhase::Began;
    case Qt::ScrollUpdate:
        return EventPhase::Changed;
    case Qt::ScrollEnd:
        return EventPhase::Ended;
    default:
        return EventPhase::None;
    }
}

// The window location is mapped from the view's own: events made by hand (and some that Qt
// forwards) carry no reliable position in the window.
Event located(EventType type, QPointF local, const QWidget& view) {
    Event e;
    e.type = type;
    e.location = toAppKit(local, view.height());
    const QWidget* window = view.window();
    e.locationInWindow = toAppKit(view.mapTo(window, local), window->height());
    return e;
}

Event located(EventType type, const QSinglePointEvent& input, const QWidget& view) {
    Event e = located(type, input.position(), view);
    e.modifierFlags = flagsFrom(input.modifiers());
    return e;
}

} // namespace

std::optional<Event> EventAdaptor::eventFrom(const QEvent& event, const QWidget& view) {
    switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove: {
        const auto& m = static_cast<const QMouseEvent&>(event);
        Event e = located(EventType::MouseMoved, m, view);
        if (event.type() == QEvent::MouseMove) {
            const Qt::MouseButton held = heldButton(m.buttons());
            if (held == Qt::NoButton) return e;
            e.type = mouseType(Stage::Dragged, held);
            e.buttonNumber = buttonNumber(held);
            e.clickCount = clickCount_;
            e.pressure = 1;
            return e;
        }
        if (event.type() == QEvent::MouseButtonRelease) {
            e.type = mouseType(Stage::Up, m.button());
            e.clickCount = clickCount_;
        } else {
            clickCount_ = event.type() == QEvent::MouseButtonDblClick ? 2 : 1;
            e.type = mouseType(Stage::Down, m.button());
            e.clickCount = clickCount_;
            e.pressure = 1;
        }
        e.buttonNumber = buttonNumber(m.button());
        return e;
    }
    case QEvent::Wheel: {
        const auto& w = static_cast<const QWheelEvent&>(event);
        Event e = located(EventType::ScrollWheel, w, view);
        // Only touchpads give pixels or phases; their last event of a scroll carries neither delta.
        const bool pixels = !w.pixelDelta().isNull();
        e.hasPreciseScrollingDeltas = pixels || w.phase() != Qt::NoScrollPhase;
        if (pixels) {
            e.scrollingDeltaX = w.pixelDelta().x();
            e.scrollingDeltaY = w.pixelDelta().y();
            e.deltaX = e.scrollingDeltaX / kPointsPerLine;
            e.deltaY = e.scrollingDeltaY / kPointsPerLine;
        } else {
            e.deltaX = e.scrollingDeltaX = w.angleDelta().x() / kAnglePerLine;
            e.deltaY = e.scrollingDeltaY = w.angleDelta().y() / kAnglePerLine;
        }
        e.isDirectionInvertedFromDevice = w.inverted();
        if (w.phase() == Qt::ScrollMomentum)
            e.momentumPhase = EventPhase::Changed;
        else
            e.phase = phaseFrom(w.phase());
        return e;
    }
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove: {
        const auto& t = static_cast<const QTabletEvent&>(event);
        Event e = located(EventType::MouseMoved, t, view);
        e.pressure = t.pressure();
        Qt::MouseButton button = t.button();
        if (event.type() == QEvent::TabletMove) {
            button = heldButton(t.buttons());
            if (button == Qt::NoButton) return e;
            e.type = mouseType(Stage::Dragged, button);
        } else {
            e.type = mouseType(event.type() == QEvent::TabletPress ? Stage::Down : Stage::Up, button);
        }
        if (event.type() == QEvent::TabletPress) clickCount_ = 1;
        e.clickCount = clickCount_;
        e.buttonNumber = buttonNumber(button);
        return e;
    }
    case QEvent::NativeGesture: {
        const auto& g = static_cast<const QNativeGestureEvent&>(event);
        Event e = located(EventType::Magnify, g, view);
        switch (g.gestureType()) {
        case Qt::ZoomNativeGesture:
            e.magnification = g.value();
            return e;
        // Qt turns clockwise on its y-down screen; y-up angles turn the other way.
        case Qt::RotateNativeGesture:
            e.type = EventType::Rotate;
            e.rotation = -g.value();
            return e;
        case Qt::BeginNativeGesture:
            e.type = EventType::BeginGesture;
            return e;
        case Qt::EndNativeGesture:
            e.type = EventType::EndGesture;
            return e;
        default:
            return std::nullopt;
        }
    }
    case QEvent::Enter: {
        const auto& enter = static_cast<const QEnterEvent&>(event);
        return located(EventType::MouseEntered, enter, view);
    }
    case QEvent::Leave: {
        // Leaving carries no position: the pointer is where the screen says.
        return located(EventType::MouseExited, view.mapFromGlobal(QPointF(QCursor::pos())), view);
    }
    default:
        return std::nullopt;
    }
}

} // namespace appkit
