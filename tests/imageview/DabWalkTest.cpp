#include "imageview/DabWalk.h"

#include <gtest/gtest.h>

using graphics::Point;
using graphics::Rect;

TEST(DabWalk, RadiiFollowSizeScalePressureAndSoftness) {
    struct Case {
        double size, scale, pressure, softness, inner, outer;
    };
    const Case cases[] = {
        {40, 1, 1, 100, 0, 40},  {40, 1, 1, 0, 20, 20},    {40, 2, 1, 100, 0, 20},
        {40, 1, 0.5, 50, 5, 15}, {10, 20, 1, 100, 0, 0.5}, {10, 20, 1, 0, 0.25, 0.25},
    };
    for (const Case& c : cases) {
        const DabWalk::Radii r = DabWalk::radii(c.size, c.scale, c.pressure, c.softness);
        EXPECT_DOUBLE_EQ(r.inner, c.inner);
        EXPECT_DOUBLE_EQ(r.outer, c.outer);
    }
}

TEST(DabWalk, StepGrowsWithTheRadius) {
    const std::pair<double, int> cases[] = {{0.5, 1}, {4.9, 1}, {5, 1},  {9.9, 1},
                                            {10, 2},  {20, 4},  {40, 8}, {333, 66}};
    for (auto [radius, step] : cases)
        EXPECT_EQ(DabWalk::step(radius), step) << radius;
}

TEST(DabWalk, FillsTheSegmentAtTheStepThenStampsTheNewPoint) {
    const DabWalk w = DabWalk::walk(Point{100, 100}, Point{140, 100}, 40);
    const std::vector<Point> expected = {{101, 100}, {109, 100}, {117, 100},
                                         {125, 100}, {133, 100}, {140, 100}};
    EXPECT_EQ(w.dabs, expected);
    EXPECT_EQ(w.redrawArea, Rect(60, 60, 120, 80));
    EXPECT_FALSE(w.deferred);
}

TEST(DabWalk, AFastDragLeavesNoGapAndFollowsTheLine) {
    // Mostly upward and backwards: y dominates, x on the line through both points.
    const DabWalk w = DabWalk::walk(Point{300, 100}, Point{200, 500}, 20);
    ASSERT_GE(w.dabs.size(), 2u);
    for (size_t i = 0; i + 1 < w.dabs.size() - 1; ++i)
        EXPECT_DOUBLE_EQ(w.dabs[i + 1].y - w.dabs[i].y, 4.0);
    EXPECT_EQ(w.dabs.front().y, 101);
    EXPECT_LT(w.dabs[w.dabs.size() - 2].y, 500);
    for (const Point& p : w.dabs)
        EXPECT_NEAR(p.x, 300 - (p.y - 100) / 4, 1e-9);
    EXPECT_EQ(w.dabs.back(), (Point{200, 500}));
    EXPECT_EQ(w.redrawArea, Rect(180, 80, 140, 440));
}

TEST(DabWalk, AMovementShorterThanAStepIsDeferred) {
    const DabWalk w = DabWalk::walk(Point{100, 100}, Point{103, 100}, 40);
    EXPECT_TRUE(w.deferred);
    EXPECT_TRUE(w.dabs.empty());
    EXPECT_TRUE(w.redrawArea.isNull());
}

TEST(DabWalk, TheFirstEventStampsOnlyTheNewPoint) {
    const DabWalk w = DabWalk::walk(std::nullopt, Point{0, 0}, 2.5);
    ASSERT_EQ(w.dabs.size(), 1u);
    EXPECT_EQ(w.dabs[0], (Point{0, 0}));
    EXPECT_EQ(w.redrawArea, Rect(-3, -3, 5, 5));
}

TEST(DabWalk, ADabUnderOnePixelDrawsNothing) {
    EXPECT_EQ(DabWalk::walk(std::nullopt, Point{10, 10}, 0.5).dabs.size(), 1u); // d = 1
    const DabWalk w = DabWalk::walk(std::nullopt, Point{10, 10}, 0.25);         // d = 0.5
    EXPECT_TRUE(w.dabs.empty());
    EXPECT_FALSE(w.deferred);
}
