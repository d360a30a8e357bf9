#include "imageview/CanvasGeometry.h"

#include <cmath>
#include <gtest/gtest.h>

using graphics::Point;
using graphics::Rect;
using graphics::Size;

namespace {

// A 1600 x 1000 window with 18-point scrollers along the clipping area.
CanvasGeometry window() {
    CanvasGeometry g;
    g.superviewFrame = Rect(0, 0, 1600, 1000);
    g.horizontalScroller = Size{1271, 18};
    g.verticalScroller = Size{18, 931};
    return g;
}

} // namespace

TEST(CanvasGeometry, ASmallImageIsCentredWithoutScrollers) {
    const CanvasGeometry::Validated v = window().validateFrame(Rect(-40.4, 900.6, 500, 400));
    EXPECT_FALSE(v.horizontal.shown);
    EXPECT_FALSE(v.vertical.shown);
    EXPECT_FALSE(v.squareShown);
    // Content area (15, 15, 1261, 921).
    EXPECT_EQ(v.realFrame, Rect(396, 276, 500, 400));
    EXPECT_EQ(v.frame, v.realFrame);
}

TEST(CanvasGeometry, AWideImageShowsTheHorizontalScrollerAndIsClipped) {
    struct Case {
        double x;
        double value;
        Rect frame;
    };
    const Case cases[] = {
        {10, 0, Rect(10, 276, 1281, 400)},
        {-500, 510.0 / 1729, Rect(0, 276, 1291, 400)},
        {-1719, 1, Rect(0, 276, 1281, 400)},
    };
    for (const Case& c : cases) {
        const CanvasGeometry::Validated v = window().validateFrame(Rect(c.x, 0, 3000, 400));
        ASSERT_TRUE(v.horizontal.shown);
        EXPECT_FALSE(v.vertical.shown);
        EXPECT_TRUE(v.squareShown);
        EXPECT_DOUBLE_EQ(v.horizontal.knobProportion, 1271.0 / 3000);
        EXPECT_NEAR(v.horizontal.value, c.value, 1e-12) << c.x;
        EXPECT_EQ(v.bottom, 15);
        EXPECT_EQ(v.frame, c.frame) << c.x;
    }
}

TEST(CanvasGeometry, ATallImageShowsTheVerticalScrollerAndWidensTheRightInset) {
    const CanvasGeometry::Validated v = window().validateFrame(Rect(0, -500, 400, 2000));
    ASSERT_TRUE(v.vertical.shown);
    EXPECT_FALSE(v.horizontal.shown);
    EXPECT_DOUBLE_EQ(v.vertical.knobProportion, 931.0 / 2000);
    EXPECT_NEAR(v.vertical.value, (-500.0 - 10) / (2000 - 931) + 1, 1e-12);
    EXPECT_EQ(v.frame, Rect(v.realFrame.minX(), 0, 400, 951));
    EXPECT_EQ(window().validateFrame(Rect(0, -1059, 400, 2000)).vertical.value, 0);
}

TEST(CanvasGeometry, KnobValuesStayBetweenZeroAndOneWhenTheScrollerHasNoRoom) {
    for (double w : {1269.0, 1271.0, 1268.0}) {
        for (double x : {0.0, 10.0, -3.0, 40.0}) {
            const CanvasGeometry::Validated v = window().validateFrame(Rect(x, 0, w, 400));
            ASSERT_TRUE(v.horizontal.shown) << w;
            EXPECT_TRUE(std::isfinite(v.horizontal.value));
            EXPECT_GE(v.horizontal.value, 0);
            EXPECT_LE(v.horizontal.value, 1);
        }
    }
    const CanvasGeometry::Validated v = window().validateFrame(Rect(0, 0, 400, 931));
    ASSERT_TRUE(v.vertical.shown);
    EXPECT_EQ(v.vertical.value, 1);
}

TEST(CanvasGeometry, PanningStaysWithinTenPointsOfTheEdges) {
    const CanvasGeometry g = window();
    const CanvasGeometry::Validated wide = g.validateFrame(Rect(0, 0, 3000, 400));
    EXPECT_EQ(g.limitedOrigin(Point{50, 999}, wide).x, 10);
    EXPECT_EQ(g.limitedOrigin(Point{-5000, 999}, wide).x, 1291 - 10 - 3000);
    EXPECT_EQ(g.limitedOrigin(Point{-100, 999}, wide).y, wide.realFrame.minY()); // no vertical scroller
    const CanvasGeometry::Validated both = g.validateFrame(Rect(0, 0, 3000, 2000));
    EXPECT_EQ(g.limitedOrigin(Point{0, 500}, both).y, 15 + 10);
    EXPECT_EQ(g.limitedOrigin(Point{0, -5000}, both).y, 951 - 10 - 2000);
    EXPECT_EQ(g.limitedOrigin(Point{-5000, 0}, both).x, 1291 - 10 - 15 - 3000);
}

TEST(CanvasGeometry, ZoomToFitNeverEnlargesAndCentres) {
    CanvasGeometry::Zoom z = CanvasGeometry::zoomToFit(Rect(0, 0, 2000, 1500), Size{1000, 800});
    EXPECT_EQ(z.scale, 1);
    EXPECT_EQ(z.realFrame, Rect(500, 350, 1000, 800));
    z = CanvasGeometry::zoomToFit(Rect(15, 15, 1000, 1000), Size{2000, 1000});
    EXPECT_EQ(z.scale, 0.5);
    EXPECT_EQ(z.realFrame, Rect(15, 265, 1000, 500));
}

TEST(CanvasGeometry, ActualSizeIsCappedAt160Megapixels) {
    CanvasGeometry::Zoom z =
        CanvasGeometry::zoomToActualSize(Rect(0, 0, 1000, 1000), Size{2000, 1000}, 10, Size{20000, 10000});
    EXPECT_EQ(z.realFrame.size.width, 17889);
    EXPECT_EQ(z.realFrame.size.height, 8944);
    EXPECT_DOUBLE_EQ(z.scale, 17889.0 / 2000);
    z = CanvasGeometry::zoomToActualSize(Rect(0, 0, 1000, 1000), Size{1000, 500}, 2, Size{2000, 1000});
    EXPECT_EQ(z.scale, 2);
    EXPECT_EQ(z.realFrame, Rect(-500, 0, 2000, 1000));
}

TEST(CanvasGeometry, ZoomKeepsThePointUnderTheVisibleCentre) {
    const Rect frame(0, 0, 100, 100), real(-100, -100, 300, 300);
    const Rect zoomed = CanvasGeometry::zoomedAboutCentre(frame, real, Size{600, 600});
    EXPECT_EQ(zoomed, Rect(-250, -250, 600, 600));
    // The image point under the centre: half way across before and after.
    EXPECT_DOUBLE_EQ((frame.midX() - real.minX()) / real.width(),
                     (frame.midX() - zoomed.minX()) / zoomed.width());
}
