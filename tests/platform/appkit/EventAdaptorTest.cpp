#include "platform/appkit/EventAdaptor.h"

#include "support/SyntheticEvents.h"
#include "support/UiApplication.h"

#include <QKeyEvent>
#include <gtest/gtest.h>
#include <vector>

using appkit::Event;
using appkit::EventPhase;
using appkit::EventType;
using graphics::Point;

namespace {

// Keeps every event value its adaptor makes, as a view deciding on them would see them.
class RecordingView : public QWidget {
  public:
    using QWidget::QWidget;
    std::vector<Event> events;

  protected:
    bool event(QEvent* e) override {
        if (auto value = adaptor_.eventFrom(*e, *this)) {
            events.push_back(*value);
            e->accept();
            return true;
        }
        return QWidget::event(e);
    }

  private:
    appkit::EventAdaptor adaptor_;
};

// A 300 x 200 window with the view at y-up frame (40, 30, 100, 80).
class EventAdaptorTest : public ::testing::Test {
  protected:
    QApplication& app = uiApplication();
    QWidget window;
    RecordingView* view = nullptr;

    void SetUp() override {
        window.resize(300, 200);
        view = new RecordingView(&window);
        view->setMouseTracking(true); // Qt sends moves without a button only then
        appkit::setFrame(*view, graphics::Rect(40, 30, 100, 80));
    }

    const Event& only() {
        EXPECT_EQ(view->events.size(), 1u);
        return view->events.back();
    }
};

} // namespace

TEST_F(EventAdaptorTest, PressGivesViewAndWindowLocationsInYUpAndPressureOne) {
    synthetic::mouseDown(*view, Point{10, 5});
    const Event& e = only();
    EXPECT_EQ(e.type, EventType::LeftMouseDown);
    EXPECT_EQ(e.location, (Point{10, 5}));
    EXPECT_EQ(e.locationInWindow, (Point{50, 35}));
    EXPECT_EQ(e.clickCount, 1);
    EXPECT_EQ(e.buttonNumber, 0);
    EXPECT_EQ(e.pressure, 1.0);
}

TEST_F(EventAdaptorTest, DoubleClickIsOnePressWithClickCountTwo) {
    synthetic::doubleClick(*view, Point{20, 20});
    std::vector<std::pair<EventType, int>> seen;
    for (const Event& e : view->events)
        seen.emplace_back(e.type, e.clickCount);
    const std::vector<std::pair<EventType, int>> expected = {
        {EventType::LeftMouseDown, 1},
        {EventType::LeftMouseUp, 1},
        {EventType::LeftMouseDown, 2},
        {EventType::LeftMouseUp, 2},
    };
    EXPECT_EQ(seen, expected);
    // The next plain press starts counting again.
    synthetic::mouseDown(*view, Point{20, 20});
    EXPECT_EQ(view->events.back().clickCount, 1);
}

TEST_F(EventAdaptorTest, MovesAndDragsByButton) {
    synthetic::mouseMoved(*view, Point{1, 2});
    synthetic::mouseDown(*view, Point{1, 2});
    synthetic::mouseDragged(*view, Point{7, 9});
    synthetic::mouseUp(*view, Point{7, 9});
    synthetic::mouse(*view, QEvent::MouseButtonPress, Point{3, 3}, Qt::RightButton, Qt::RightButton);
    synthetic::mouse(*view, QEvent::MouseMove, Point{4, 4}, Qt::NoButton, Qt::RightButton);
    synthetic::mouse(*view, QEvent::MouseButtonRelease, Point{4, 4}, Qt::RightButton, Qt::NoButton);
    synthetic::mouse(*view, QEvent::MouseButtonPress, Point{3, 3}, Qt::MiddleButton, Qt::MiddleButton);
    synthetic::mouse(*view, QEvent::MouseButtonPress, Point{3, 3}, Qt::BackButton, Qt::BackButton);

    struct Expected {
        EventType type;
        int button;
        int clickCount;
        double pressure;
    };
    const Expected expected[] = {
        {EventType::MouseMoved, 0, 0, 0},       {EventType::LeftMouseDown, 0, 1, 1},
        {EventType::LeftMouseDragged, 0, 1, 1}, {EventType::LeftMouseUp, 0, 1, 0},
        {EventType::RightMouseDown, 1, 1, 1},   {EventType::RightMouseDragged, 1, 1, 1},
        {EventType::RightMouseUp, 1, 1, 0},     {EventType::OtherMouseDown, 2, 1, 1},
        {EventType::OtherMouseDown, 3, 1, 1},
    };
    ASSERT_EQ(view->events.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(view->events[i].type, expected[i].type);
        EXPECT_EQ(view->events[i].buttonNumber, expected[i].button);
        EXPECT_EQ(view->events[i].clickCount, expected[i].clickCount);
        EXPECT_EQ(view->events[i].pressure, expected[i].pressure);
    }
    EXPECT_EQ(view->events[2].location, (Point{7, 9}));
}

TEST_F(EventAdaptorTest, ModifiersMapCommandToControlAndControlToMeta) {
    struct Case {
        Qt::KeyboardModifiers qt;
        unsigned flags;
    };
    const Case cases[] = {
        {Qt::NoModifier, 0},
        {Qt::ShiftModifier, appkit::ShiftKey},
        {Qt::ControlModifier, appkit::CommandKey},
        {Qt::MetaModifier, appkit::ControlKey},
        {Qt::AltModifier, appkit::OptionKey},
        {Qt::ShiftModifier | Qt::AltModifier | Qt::ControlModifier,
         appkit::ShiftKey | appkit::OptionKey | appkit::CommandKey},
    };
    for (const Case& c : cases) {
        synthetic::mouseDown(*view, Point{5, 5}, c.qt);
        EXPECT_EQ(view->events.back().modifierFlags, c.flags);
    }
}

TEST_F(EventAdaptorTest, WheelDeltasPrecisionPhaseAndInversion) {
    struct Case {
        synthetic::Wheel wheel;
        bool precise;
        double scrollingDeltaX, scrollingDeltaY, deltaY;
        EventPhase phase, momentumPhase;
        bool inverted;
    };
    // clang-format off
    const Case cases[] = {
        // A mouse wheel: one notch away from the user is one line up.
        {{QPoint(), QPoint(0, 120)}, false, 0, 1, 1, EventPhase::None, EventPhase::None, false},
        {{QPoint(), QPoint(-240, -360)}, false, -2, -3, -3, EventPhase::None, EventPhase::None, false},
        // A touchpad: pixel deltas are precise points; its last event has no delta but is precise.
        {{QPoint(4, 30), QPoint(32, 240), Qt::ScrollBegin}, true, 4, 30, 3, EventPhase::Began, EventPhase::None, false},
        {{QPoint(0, -7), QPoint(0, -56), Qt::ScrollUpdate, true}, true, 0, -7, -0.7, EventPhase::Changed, EventPhase::None, true},
        {{QPoint(0, 0), QPoint(0, 0), Qt::ScrollEnd}, true, 0, 0, 0, EventPhase::Ended, EventPhase::None, false},
        {{QPoint(0, 3), QPoint(0, 24), Qt::ScrollMomentum}, true, 0, 3, 0.3, EventPhase::None, EventPhase::Changed, false},
    };
    // clang-format on
    for (const Case& c : cases) {
        view->events.clear();
        ASSERT_TRUE(synthetic::wheel(*view, Point{50, 40}, c.wheel));
        const Event& e = only();
        SCOPED_TRACE(c.wheel.angleDelta.y());
        EXPECT_EQ(e.type, EventType::ScrollWheel);
        EXPECT_EQ(e.location, (Point{50, 40}));
        EXPECT_EQ(e.hasPreciseScrollingDeltas, c.precise);
        EXPECT_DOUBLE_EQ(e.scrollingDeltaX, c.scrollingDeltaX);
        EXPECT_DOUBLE_EQ(e.scrollingDeltaY, c.scrollingDeltaY);
        EXPECT_DOUBLE_EQ(e.deltaY, c.deltaY);
        EXPECT_EQ(e.phase, c.phase);
        EXPECT_EQ(e.momentumPhase, c.momentumPhase);
        EXPECT_EQ(e.isDirectionInvertedFromDevice, c.inverted);
        EXPECT_EQ(e.clickCount, 0);
    }
}

TEST_F(EventAdaptorTest, WheelCarriesModifiers) {
    synthetic::wheel(*view, Point{1, 1},
                     {QPoint(), QPoint(0, 120), Qt::NoScrollPhase, false, Qt::ControlModifier});
    EXPECT_EQ(only().modifierFlags, unsigned(appkit::CommandKey));
}

TEST_F(EventAdaptorTest, NativeGesturesGiveMagnificationRotationAndBrackets) {
    synthetic::gesture(*view, Qt::BeginNativeGesture, Point{30, 20});
    synthetic::gesture(*view, Qt::ZoomNativeGesture, Point{30, 20}, 0.25);
    synthetic::gesture(*view, Qt::RotateNativeGesture, Point{30, 20}, 15);
    synthetic::gesture(*view, Qt::EndNativeGesture, Point{30, 20});
    ASSERT_EQ(view->events.size(), 4u);
    EXPECT_EQ(view->events[0].type, EventType::BeginGesture);
    EXPECT_EQ(int(view->events[1].type), 30);
    EXPECT_DOUBLE_EQ(view->events[1].magnification, 0.25);
    EXPECT_EQ(view->events[1].location, (Point{30, 20}));
    EXPECT_EQ(int(view->events[2].type), 18);
    // Clockwise on screen is a negative y-up angle.
    EXPECT_DOUBLE_EQ(view->events[2].rotation, -15);
    EXPECT_EQ(view->events[3].type, EventType::EndGesture);

    // Gestures the views have no use for are not translated.
    synthetic::gesture(*view, Qt::SmartZoomNativeGesture, Point{30, 20}, 1);
    EXPECT_EQ(view->events.size(), 4u);
}

TEST_F(EventAdaptorTest, TabletStrokeGivesThePensPressure) {
    synthetic::tablet(*view, QEvent::TabletPress, Point{10, 10}, 0.4);
    synthetic::tablet(*view, QEvent::TabletMove, Point{12, 11}, 0.75);
    synthetic::tablet(*view, QEvent::TabletRelease, Point{12, 11}, 0, Qt::NoButton);
    synthetic::tablet(*view, QEvent::TabletMove, Point{20, 20}, 0, Qt::NoButton);
    ASSERT_EQ(view->events.size(), 4u);
    EXPECT_EQ(view->events[0].type, EventType::LeftMouseDown);
    EXPECT_NEAR(view->events[0].pressure, 0.4, 1e-6);
    EXPECT_EQ(view->events[0].clickCount, 1);
    EXPECT_EQ(view->events[1].type, EventType::LeftMouseDragged);
    EXPECT_NEAR(view->events[1].pressure, 0.75, 1e-6);
    EXPECT_EQ(view->events[1].location, (Point{12, 11}));
    EXPECT_EQ(view->events[2].type, EventType::LeftMouseUp);
    EXPECT_EQ(view->events[3].type, EventType::MouseMoved);
}

TEST_F(EventAdaptorTest, OtherEventsAreNotTranslated) {
    appkit::EventAdaptor adaptor;
    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    EXPECT_FALSE(adaptor.eventFrom(key, *view).has_value());
    QEvent show(QEvent::Show);
    EXPECT_FALSE(adaptor.eventFrom(show, *view).has_value());
}

TEST_F(EventAdaptorTest, EnteringAndLeavingTheView) {
    const synthetic::Located at = synthetic::locate(*view, Point{8, 70});
    QEnterEvent enter(at.local, at.scene, at.global);
    QApplication::sendEvent(view, &enter);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(view, &leave);
    ASSERT_EQ(view->events.size(), 2u);
    EXPECT_EQ(view->events[0].type, EventType::MouseEntered);
    EXPECT_EQ(view->events[0].location, (Point{8, 70}));
    EXPECT_EQ(view->events[1].type, EventType::MouseExited);
}
