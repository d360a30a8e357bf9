#include "platform/appkit/CursorRects.h"

#include "support/EventLoop.h"
#include "support/SyntheticEvents.h"
#include "support/UiApplication.h"

#include <gtest/gtest.h>

using graphics::Point;
using graphics::Rect;

namespace {

// A 100 x 80 view: a crosshair over its left half, a pointing hand over a lower-right block that
// overlaps it (added later, so it wins), and a strip along the top that follows the height.
class CursorRectsTest : public ::testing::Test {
  protected:
    QApplication& app = uiApplication();
    QWidget view;
    int resets = 0;
    bool disabled = false;
    appkit::CursorRects* rects = nullptr;

    void SetUp() override {
        view.resize(100, 80);
        rects = new appkit::CursorRects(&view, [this](appkit::CursorRects& r) {
            ++resets;
            if (disabled) return;
            r.addCursorRect(Rect(0, 0, 50, 80), Qt::CrossCursor);
            r.addCursorRect(Rect(40, 0, 60, 40), Qt::PointingHandCursor);
            r.addCursorRect(Rect(0, view.height() - 10, 100, 10), Qt::SizeVerCursor);
            r.addCursorRect(Rect(90, 50, 0, 10), Qt::WaitCursor); // empty: never shown
        });
        view.show();
        runEventLoopFor(0.01);
    }

    Qt::CursorShape at(Point p) {
        const std::optional<QCursor> c = rects->cursorAt(p);
        return c ? c->shape() : Qt::BlankCursor; // blank stands for "none" here
    }
};

} // namespace

TEST_F(CursorRectsTest, TheLastAddedRectangleHoldingThePointGivesTheCursor) {
    struct Case {
        Point p;
        Qt::CursorShape shape;
    };
    const Case cases[] = {
        {{10, 10}, Qt::CrossCursor}, {{45, 10}, Qt::PointingHandCursor}, {{45, 50}, Qt::CrossCursor},
        {{70, 60}, Qt::BlankCursor}, {{70, 75}, Qt::SizeVerCursor},      {{90, 55}, Qt::BlankCursor},
        {{50, 40}, Qt::BlankCursor}, // on the hand block's top edge and past the crosshair's right
    };
    for (const Case& c : cases)
        EXPECT_EQ(at(c.p), c.shape) << c.p.x << "," << c.p.y;
}

TEST_F(CursorRectsTest, MouseMovesSetTheViewsCursorAndDragsKeepTheirOwn) {
    synthetic::mouseMoved(view, Point{10, 10});
    EXPECT_EQ(view.cursor().shape(), Qt::CrossCursor);
    synthetic::mouseMoved(view, Point{45, 10});
    EXPECT_EQ(view.cursor().shape(), Qt::PointingHandCursor);
    synthetic::mouseMoved(view, Point{70, 60});
    EXPECT_EQ(view.cursor().shape(), Qt::ArrowCursor);

    // The view chose a closed hand at the press; the drag over rectangles keeps it.
    synthetic::mouseDown(view, Point{70, 60});
    view.setCursor(Qt::ClosedHandCursor);
    synthetic::mouseDragged(view, Point{10, 10});
    EXPECT_EQ(view.cursor().shape(), Qt::ClosedHandCursor);
}

TEST_F(CursorRectsTest, InvalidationRebuildsOnceOnTheNextPassAndUpdatesTheCursorInPlace) {
    synthetic::mouseMoved(view, Point{10, 10});
    synthetic::mouseMoved(view, Point{12, 10});
    const int before = resets;
    disabled = true;
    rects->invalidate();
    rects->invalidate();
    EXPECT_EQ(view.cursor().shape(), Qt::CrossCursor); // not yet
    runEventLoopFor(0.02);
    EXPECT_EQ(resets, before + 1);
    EXPECT_EQ(view.cursor().shape(), Qt::ArrowCursor);
    synthetic::mouseMoved(view, Point{14, 10});
    EXPECT_EQ(resets, before + 1); // moves reuse the rectangles
}

TEST_F(CursorRectsTest, AResizeRebuildsTheRectangles) {
    view.resize(100, 120);
    runEventLoopFor(0.02);
    EXPECT_EQ(at(Point{70, 115}), Qt::SizeVerCursor);
    EXPECT_EQ(at(Point{70, 75}), Qt::BlankCursor);
}
