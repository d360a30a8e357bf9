#include "controls/KXScroller.h"
#include "imageview/CIMicroPaintView.h"
#include "support/SyntheticEvents.h"
#include "support/UiApplication.h"

#include <QMouseEvent>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace {

using graphics::Point;
using graphics::Rect;
using Part = CanvasGeometry::ScrollerPart;

graphics::ImagePtr grey(int w, int h) {
    std::vector<uint8_t> px(size_t(w) * h * 4, 200);
    return graphics::Image::copy(
        px.data(), w, h, size_t(w) * 4,
        {8, {graphics::Channel::R, graphics::Channel::G, graphics::Channel::B, graphics::Channel::A}, true});
}

// The editor's painter layout in a 1600 x 1000 content view with a 309-point toolbar.
class CanvasScrollers : public ::testing::Test {
  protected:
    QApplication& app = uiApplication();
    QWidget window;
    KXScroller* horizontal = new KXScroller(&window);
    KXScroller* vertical = new KXScroller(&window);
    QWidget* square = new QWidget(&window);
    std::unique_ptr<CIMicroPaintView> canvas;

    void make(int w, int h) {
        window.resize(1600, 1000);
        horizontal->setGeometry(0, 1000 - 18, 1277, 18);
        vertical->setGeometry(1600 - 309 - 18, 1000 - 14 - 937, 18, 937);
        square->setGeometry(1600 - 309 - 15, 1000 - 15, 15, 15);
        canvas = std::make_unique<CIMicroPaintView>(Rect(0, 0, 100, 100), grey(w, h), grey(w, h), &window);
        canvas->setControlVerticalScroller(vertical, horizontal, square);
    }
    double hLength() const { return 1277 - canvas->canvasGeometry().widthMargin; }
    double vLength() const { return 937 - canvas->canvasGeometry().widthMargin; }
    // A press on the scroller, along it from its left or top edge (Qt's own coordinates).
    static void press(KXScroller& scroller, double along) {
        const QPointF at = scroller.isHorizontal() ? QPointF(along, 9) : QPointF(9, along);
        QMouseEvent down(QEvent::MouseButtonPress, at, scroller.mapToGlobal(at), Qt::LeftButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&scroller, &down);
        QMouseEvent up(QEvent::MouseButtonRelease, at, scroller.mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                       Qt::NoModifier);
        QApplication::sendEvent(&scroller, &up);
    }
};

} // namespace

TEST(CanvasScrollerGeometry, EachScrollerPartMovesTheImageWithinItsLimits) {
    CanvasGeometry g;
    g.superviewFrame = Rect(0, 0, 1600, 1000);
    g.horizontalScroller = {1277, 18};
    g.verticalScroller = {18, 937};
    const CanvasGeometry::Validated state = g.validateFrame(Rect(-200, -100, 3000, 2000));
    ASSERT_TRUE(state.horizontal.shown && state.vertical.shown);
    struct Case {
        bool across;
        Part part;
        double value;
        std::optional<double> expected;
    } cases[] = {
        {true, Part::Knob, 0, 10},                 // the left edge 10 points in
        {true, Part::Knob, 1, 10 - (3015 - 1277)}, // the right edge at the end
        {true, Part::DecrementPage, 0, 10},        // a page back, no further than the start
        {true, Part::IncrementPage, 0, -1477},     // a page on
        {true, Part::Other, 0.5, std::nullopt},
        {false, Part::Knob, 1, 25}, // the bottom above the horizontal scroller
        {false, Part::Knob, 0, 25 - (2015 - 937)},
        {false, Part::IncrementPage, 0, 25},
        {false, Part::DecrementPage, 0, -1037},
        {false, Part::Other, 0.5, std::nullopt},
    };
    for (const Case& c : cases) {
        const std::optional<double> moved = c.across ? g.horizontalScrolled(c.part, c.value, state)
                                                     : g.verticalScrolled(c.part, c.value, state);
        EXPECT_EQ(moved, c.expected) << c.across << " " << int(c.part) << " " << c.value;
    }
    // A page on near the end stops where the far edge is 10 points inside.
    const CanvasGeometry::Validated nearEnd = g.validateFrame(Rect(-1600, -1000, 3000, 2000));
    EXPECT_EQ(g.horizontalScrolled(Part::IncrementPage, 0, nearEnd), (1600 - 309) - 10 - 15 - 3000);
    EXPECT_EQ(g.verticalScrolled(Part::DecrementPage, 0, nearEnd), (1000 - 49) - 10 - 2000);
}

TEST(CanvasScrollerGeometry, TrackpadScrollMovesAlongShownScrollersOnly) {
    CanvasGeometry g;
    g.superviewFrame = Rect(0, 0, 1600, 1000);
    g.horizontalScroller = {1277, 18};
    g.verticalScroller = {18, 937};
    const CanvasGeometry::Validated wide = g.validateFrame(Rect(-200, 100, 3000, 400));
    ASSERT_TRUE(wide.horizontal.shown);
    ASSERT_FALSE(wide.vertical.shown);
    EXPECT_EQ(g.scrolledBy(30, 20, wide), (Point{-140, wide.realFrame.minY()}));
    EXPECT_EQ(g.scrolledBy(500, 0, wide).x, 10);
    const CanvasGeometry::Validated both = g.validateFrame(Rect(-200, -100, 3000, 2000));
    EXPECT_EQ(g.scrolledBy(-30, 20, both), (Point{-260, -140}));
}

TEST_F(CanvasScrollers, ScrollersShowTheVisiblePartAndHideWithTheSquareWhenAllFits) {
    make(1500, 1000);
    canvas->zoomToActualSize();
    ASSERT_EQ(canvas->scale(), 1);
    EXPECT_TRUE(horizontal->isVisibleTo(&window));
    EXPECT_TRUE(vertical->isVisibleTo(&window));
    EXPECT_TRUE(square->isVisibleTo(&window));
    const CanvasGeometry::Validated& state = canvas->frameState();
    EXPECT_DOUBLE_EQ(horizontal->knobProportion(), hLength() / (1500 + 15));
    EXPECT_DOUBLE_EQ(vertical->knobProportion(), vLength() / (1000 + 15));
    EXPECT_DOUBLE_EQ(horizontal->doubleValue(), state.horizontal.value);
    EXPECT_DOUBLE_EQ(vertical->doubleValue(), state.vertical.value);

    canvas->zoomOut();
    canvas->zoomOut();
    canvas->zoomOut();
    EXPECT_FALSE(horizontal->isVisibleTo(&window));
    EXPECT_FALSE(vertical->isVisibleTo(&window));
    EXPECT_FALSE(square->isVisibleTo(&window));
}

TEST_F(CanvasScrollers, PressesOnTheScrollersPanTheCanvasAndItsMovesSetThem) {
    make(1500, 1000);
    canvas->zoomToActualSize();
    canvas->zoomIn();
    const double x0 = canvas->realFrame().minX();
    // A page on (right of the knob), then the knob taken to the start.
    press(*horizontal, 1270);
    EXPECT_EQ(canvas->realFrame().minX(),
              std::max(x0 - hLength(), (1600.0 - 309) - 10 - 15 - canvas->realFrame().width()));
    EXPECT_DOUBLE_EQ(horizontal->doubleValue(), canvas->frameState().horizontal.value);
    press(*horizontal, 1);
    EXPECT_EQ(horizontal->hitPart(), KXScroller::kDecrementPage);
    press(*horizontal, 1);
    EXPECT_EQ(canvas->realFrame().minX(), 10);
    EXPECT_EQ(horizontal->doubleValue(), 0);

    // Dragging the vertical knob to the top shows the image's top edge 10 points below the area's.
    const QRectF knob = vertical->knobRect();
    const QPointF grab(9, knob.center().y());
    QMouseEvent down(QEvent::MouseButtonPress, grab, vertical->mapToGlobal(grab), Qt::LeftButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(vertical, &down);
    const QPointF top(9, -500);
    QMouseEvent move(QEvent::MouseMove, top, vertical->mapToGlobal(top), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(vertical, &move);
    QMouseEvent up(QEvent::MouseButtonRelease, top, vertical->mapToGlobal(top), Qt::LeftButton, Qt::NoButton,
                   Qt::NoModifier);
    QApplication::sendEvent(vertical, &up);
    EXPECT_EQ(vertical->doubleValue(), 0);
    EXPECT_EQ(canvas->realFrame().maxY(), 10 + vLength());

    // The hand moves the image; the knobs follow.
    canvas->setMoveImage(true);
    const double before = horizontal->doubleValue();
    synthetic::mouseDown(*canvas, {400, 300});
    synthetic::mouseDragged(*canvas, {200, 300});
    synthetic::mouseUp(*canvas, {200, 300});
    EXPECT_GT(horizontal->doubleValue(), before);
    EXPECT_DOUBLE_EQ(horizontal->doubleValue(), canvas->frameState().horizontal.value);
}

TEST_F(CanvasScrollers, WheelZoomsTrackpadScrollPansOnlyInAGestureAndSmallPinchesAreIgnored) {
    make(1500, 1000);
    canvas->zoomToActualSize();
    const Rect start = canvas->realFrame();
    // A trackpad scroll outside a gesture does nothing.
    synthetic::wheel(*canvas, {300, 300}, {QPoint(30, 20), QPoint(90, 60), Qt::ScrollUpdate});
    EXPECT_EQ(canvas->realFrame(), start);
    EXPECT_EQ(canvas->scale(), 1);
    // During one it pans by twice its deltas (Qt's y grows downwards: up in the view is -20 here).
    synthetic::gesture(*canvas, Qt::BeginNativeGesture, {300, 300});
    EXPECT_TRUE(canvas->isGestureProcessed());
    synthetic::wheel(*canvas, {300, 300}, {QPoint(-30, 20), QPoint(-90, 60), Qt::ScrollUpdate});
    const Point expected = canvas->canvasGeometry().limitedOrigin(Point{start.minX() - 60, start.minY() - 40},
                                                                  canvas->frameState());
    EXPECT_EQ(canvas->realFrame().origin, expected);
    EXPECT_NE(canvas->realFrame().origin, start.origin);
    synthetic::gesture(*canvas, Qt::EndNativeGesture, {300, 300});
    EXPECT_FALSE(canvas->isGestureProcessed());

    struct Case {
        const char* what;
        std::function<void()> send;
        double factor;
    } cases[] = {
        {"wheel up",
         [&] {
             synthetic::wheel(*canvas, {300, 300}, {QPoint(), QPoint(0, 120)});
         },
         1.15},
        {"wheel down",
         [&] {
             synthetic::wheel(*canvas, {300, 300}, {QPoint(), QPoint(0, -120)});
         },
         1 / 1.15},
        {"trackpad with Option",
         [&] {
             synthetic::wheel(*canvas, {300, 300},
                              {QPoint(0, 20), QPoint(0, 60), Qt::ScrollUpdate, false, Qt::AltModifier});
         },
         1.15},
        {"small pinch",
         [&] {
             synthetic::gesture(*canvas, Qt::ZoomNativeGesture, {300, 300}, 0.005);
         },
         1},
        {"pinch out",
         [&] {
             synthetic::gesture(*canvas, Qt::ZoomNativeGesture, {300, 300}, 0.1);
         },
         1.15},
        {"pinch in",
         [&] {
             synthetic::gesture(*canvas, Qt::ZoomNativeGesture, {300, 300}, -0.1);
         },
         1 / 1.15},
    };
    for (const Case& c : cases) {
        const double before = canvas->scale();
        c.send();
        EXPECT_DOUBLE_EQ(canvas->scale(), before * c.factor) << c.what;
    }
}

TEST_F(CanvasScrollers, ReplacedScrollersNoLongerMoveTheCanvas) {
    make(1500, 1000);
    canvas->zoomToActualSize();
    KXScroller other(&window);
    other.setGeometry(0, 1000 - 18, 1277, 18);
    canvas->setControlVerticalScroller(vertical, &other, square);
    EXPECT_TRUE(other.isHidden());
    canvas->zoomIn();
    EXPECT_FALSE(other.isHidden());
    const Rect before = canvas->realFrame();
    press(*horizontal, 1);
    EXPECT_EQ(canvas->realFrame(), before);
    press(other, 1);
    EXPECT_GT(canvas->realFrame().minX(), before.minX());
}
