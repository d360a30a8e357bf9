#pragma once
// An input event as the views decide on it: location in the view's y-up coordinates, click
// count, modifier flags, scroll deltas with their precision and phase, gesture magnification and
// rotation, pen pressure. Made from Qt's events by EventAdaptor, or directly in tests.
#include "platform/graphics/Point.h"

namespace appkit {

// Numbered as the model code compares them (a pinch is type 30, a rotation 18).
enum class EventType {
    LeftMouseDown = 1,
    LeftMouseUp = 2,
    RightMouseDown = 3,
    RightMouseUp = 4,
    MouseMoved = 5,
    LeftMouseDragged = 6,
    RightMouseDragged = 7,
    MouseEntered = 8,
    MouseExited = 9,
    Rotate = 18,
    BeginGesture = 19,
    EndGesture = 20,
    ScrollWheel = 22,
    OtherMouseDown = 25,
    OtherMouseUp = 26,
    OtherMouseDragged = 27,
    Magnify = 30,
};

// Command is Qt's Control key and Control is Qt's Meta key, the pairing Qt itself uses where
// both exist, so shortcuts stay under the key Linux users press.
enum ModifierFlag : unsigned {
    ShiftKey = 1u << 0,
    ControlKey = 1u << 1,
    OptionKey = 1u << 2,
    CommandKey = 1u << 3,
};

enum class EventPhase { None = 0, Began = 1, Changed = 4, Ended = 8, Cancelled = 16, MayBegin = 32 };

struct Event {
    EventType type = EventType::MouseMoved;
    graphics::Point location;         // in the view that received it, y-up
    graphics::Point locationInWindow; // in its window's content, y-up
    // 1 for a press, 2 for the press of a double click; releases and drags repeat their press's
    // count; 0 for moves, wheels and gestures.
    int clickCount = 0;
    unsigned modifierFlags = 0;
    int buttonNumber = 0; // 0 left, 1 right, 2 middle, further buttons after

    // Wheel. scrollingDelta is in points when hasPreciseScrollingDeltas, else in lines;
    // delta is always in lines. Positive deltaY: the wheel turned away from the user (before any
    // inversion the device applies, which isDirectionInvertedFromDevice reports).
    double deltaX = 0;
    double deltaY = 0;
    double scrollingDeltaX = 0;
    double scrollingDeltaY = 0;
    bool hasPreciseScrollingDeltas = false;
    bool isDirectionInvertedFromDevice = false;
    EventPhase phase = EventPhase::None;
    EventPhase momentumPhase = EventPhase::None;

    double magnification = 0; // pinch: the change of scale, 0.1 = 10 % larger
    double rotation = 0;      // degrees, counter-clockwise positive as y-up angles are
    double pressure = 0;      // 0 to 1: a mouse button held is 1, a pen gives its own
};

} // namespace appkit
