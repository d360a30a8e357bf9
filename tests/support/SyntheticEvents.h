#pragma once
// Synthetic input for widget tests, given in the receiving view's y-up coordinates (origin
// bottom-left) and delivered synchronously as Qt would deliver it. Header only.
#include "platform/appkit/Coordinates.h"
#include "platform/graphics/Point.h"

#include <QApplication>
#include <QInputEvent>
#include <QPointingDevice>
#include <QWidget>

namespace synthetic {

struct Located {
    QPointF local, scene, global;
};

inline Located locate(QWidget& view, graphics::Point p) {
    const QPointF local = appkit::fromAppKit(p, view.height());
    const QPointF scene = view.mapTo(view.window(), local);
    return {local, scene, view.mapToGlobal(local)};
}

// type: MouseButtonPress, MouseButtonRelease, MouseButtonDblClick or MouseMove. `held` is what is
// down after the event (a release holds nothing, a move with the button down is a drag).
inline bool mouse(QWidget& view, QEvent::Type type, graphics::Point p,
                  Qt::MouseButton button = Qt::LeftButton, Qt::MouseButtons held = Qt::NoButton,
                  Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const Located at = locate(view, p);
    QMouseEvent event(type, at.local, at.scene, at.global, type == QEvent::MouseMove ? Qt::NoButton : button,
                      held, modifiers);
    return QApplication::sendEvent(&view, &event);
}

inline void mouseDown(QWidget& view, graphics::Point p, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    mouse(view, QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton, modifiers);
}
inline void mouseDragged(QWidget& view, graphics::Point p, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    mouse(view, QEvent::MouseMove, p, Qt::NoButton, Qt::LeftButton, modifiers);
}
inline void mouseUp(QWidget& view, graphics::Point p, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    mouse(view, QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton, modifiers);
}
inline void mouseMoved(QWidget& view, graphics::Point p) {
    mouse(view, QEvent::MouseMove, p, Qt::NoButton, Qt::NoButton);
}
inline void click(QWidget& view, graphics::Point p, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    mouseDown(view, p, modifiers);
    mouseUp(view, p, modifiers);
}
// As Qt sends a double click: press, release, double-click, release.
inline void doubleClick(QWidget& view, graphics::Point p) {
    click(view, p);
    mouse(view, QEvent::MouseButtonDblClick, p, Qt::LeftButton, Qt::LeftButton);
    mouseUp(view, p);
}

struct Wheel {
    QPoint pixelDelta; // null for a plain mouse wheel
    QPoint angleDelta; // eighths of a degree; 120 is one notch
    Qt::ScrollPhase phase = Qt::NoScrollPhase;
    bool inverted = false;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};

inline bool wheel(QWidget& view, graphics::Point p, const Wheel& w) {
    const Located at = locate(view, p);
    QWheelEvent event(at.local, at.global, w.pixelDelta, w.angleDelta, Qt::NoButton, w.modifiers, w.phase,
                      w.inverted);
    return QApplication::sendEvent(&view, &event);
}

inline const QPointingDevice* stylus() {
    static const QPointingDevice device(
        "synthetic stylus", 4242, QInputDevice::DeviceType::Stylus, QPointingDevice::PointerType::Pen,
        QInputDevice::Capability::Position | QInputDevice::Capability::Pressure, 1, 2);
    return &device;
}

// type: TabletPress, TabletMove or TabletRelease, with the pen's pressure (0 to 1).
inline bool tablet(QWidget& view, QEvent::Type type, graphics::Point p, double pressure,
                   Qt::MouseButtons held = Qt::LeftButton) {
    const Located at = locate(view, p);
    QTabletEvent event(type, stylus(), at.local, at.global, pressure, 0, 0, 0, 0, 0, Qt::NoModifier,
                       type == QEvent::TabletMove ? Qt::NoButton : Qt::LeftButton, held);
    return QApplication::sendEvent(&view, &event);
}

// A trackpad gesture: ZoomNativeGesture (value: magnification), RotateNativeGesture (value:
// degrees clockwise on screen, as Qt gives them), BeginNativeGesture, EndNativeGesture.
inline bool gesture(QWidget& view, Qt::NativeGestureType type, graphics::Point p, double value = 0) {
    const Located at = locate(view, p);
    QNativeGestureEvent event(type, QPointingDevice::primaryPointingDevice(), 2, at.local, at.scene,
                              at.global, value, QPointF());
    return QApplication::sendEvent(&view, &event);
}

} // namespace synthetic
