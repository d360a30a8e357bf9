#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/Rect.h"
#include "platform/graphics/SinglePrecision.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <ostream>

using namespace graphics;

namespace graphics {
void PrintTo(const Rect& r, std::ostream* os) {
    *os << "(" << r.origin.x << ", " << r.origin.y << ", " << r.size.width << ", " << r.size.height << ")";
}
} // namespace graphics

namespace {

void expectNear(const Rect& actual, const Rect& expected, double eps = 1e-12) {
    EXPECT_NEAR(actual.origin.x, expected.origin.x, eps);
    EXPECT_NEAR(actual.origin.y, expected.origin.y, eps);
    EXPECT_NEAR(actual.size.width, expected.size.width, eps);
    EXPECT_NEAR(actual.size.height, expected.size.height, eps);
}

} // namespace

TEST(Rect, GettersStandardiseNegativeSizes) {
    const Rect r(10, 20, -4, -6);
    EXPECT_EQ(r.minX(), 6);
    EXPECT_EQ(r.maxX(), 10);
    EXPECT_EQ(r.midX(), 8);
    EXPECT_EQ(r.minY(), 14);
    EXPECT_EQ(r.maxY(), 20);
    EXPECT_EQ(r.midY(), 17);
    EXPECT_EQ(r.width(), 4);
    EXPECT_EQ(r.height(), 6);
    EXPECT_EQ(r.standardized().origin, (Point{6, 14}));
    EXPECT_EQ(r, Rect(6, 14, 4, 6));
}

TEST(Rect, NullAndInfinite) {
    EXPECT_TRUE(Rect::null().isNull());
    EXPECT_TRUE(Rect::null().isEmpty());
    EXPECT_EQ(Rect::null().width(), 0);
    EXPECT_FALSE(Rect::null().contains(Point{0, 0}));
    EXPECT_TRUE(Rect::infinite().isInfinite());
    EXPECT_FALSE(Rect::infinite().isEmpty());
    EXPECT_TRUE(Rect::infinite().contains(Point{-1e300, 1e300}));
    EXPECT_TRUE(Rect(0, 0, 0, 5).isEmpty());
    EXPECT_FALSE(Rect(0, 0, 0, 5).isNull());
    EXPECT_FALSE(Rect(0, 0, 1, 1).isInfinite());
}

TEST(Rect, Intersection) {
    struct Case {
        const char* name;
        Rect a, b, expected;
        bool intersects;
    };
    const Case cases[] = {
        {"overlap", Rect(0, 0, 10, 10), Rect(5, 6, 10, 10), Rect(5, 6, 5, 4), true},
        {"negative sizes", Rect(10, 10, -10, -10), Rect(15, 16, -10, -10), Rect(5, 6, 5, 4), true},
        {"inside", Rect(0, 0, 10, 10), Rect(2, 3, 1, 1), Rect(2, 3, 1, 1), true},
        {"disjoint", Rect(0, 0, 1, 1), Rect(2, 2, 1, 1), Rect::null(), false},
        {"touching edge", Rect(0, 0, 1, 1), Rect(1, 0, 1, 1), Rect(1, 0, 0, 1), false},
        {"with null", Rect(0, 0, 1, 1), Rect::null(), Rect::null(), false},
        {"null with null", Rect::null(), Rect::null(), Rect::null(), false},
        {"with infinite", Rect(3, 4, -2, 2), Rect::infinite(), Rect(1, 4, 2, 2), true},
        {"infinite with rect", Rect::infinite(), Rect(1, 2, 3, 4), Rect(1, 2, 3, 4), true},
        {"infinite with null", Rect::infinite(), Rect::null(), Rect::null(), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Rect got = c.a.intersection(c.b);
        EXPECT_EQ(got.isNull(), c.expected.isNull());
        EXPECT_EQ(got, c.expected);
        EXPECT_EQ(c.b.intersection(c.a), c.expected);
        EXPECT_EQ(c.a.intersects(c.b), c.intersects);
    }
    EXPECT_TRUE(Rect::infinite().intersection(Rect::infinite()).isInfinite());
}

TEST(Rect, Union) {
    struct Case {
        const char* name;
        Rect a, b, expected;
    };
    const Case cases[] = {
        {"disjoint", Rect(0, 0, 1, 1), Rect(2, 3, 1, 1), Rect(0, 0, 3, 4)},
        {"negative sizes", Rect(1, 1, -1, -1), Rect(3, 4, -1, -1), Rect(0, 0, 3, 4)},
        {"null ignored", Rect(1, 2, -1, 3), Rect::null(), Rect(0, 2, 1, 3)},
        {"null with null", Rect::null(), Rect::null(), Rect::null()},
        {"infinite absorbs", Rect(1, 2, 3, 4), Rect::infinite(), Rect::infinite()},
        {"empty rect counts", Rect(5, 5, 0, 0), Rect(0, 0, 1, 1), Rect(0, 0, 5, 5)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.a.unionWith(c.b), c.expected);
        EXPECT_EQ(c.b.unionWith(c.a), c.expected);
    }
    EXPECT_TRUE(Rect(0, 0, 1, 1).unionWith(Rect::infinite()).isInfinite());
}

TEST(Rect, Contains) {
    const Rect r(4, 4, -4, -2); // covers x 0..4, y 2..4
    EXPECT_TRUE(r.contains(Point{0, 2}));
    EXPECT_TRUE(r.contains(Point{3.9, 3.9}));
    EXPECT_FALSE(r.contains(Point{4, 3})); // max edge is outside
    EXPECT_FALSE(r.contains(Point{1, 1.9}));
    EXPECT_TRUE(r.contains(Rect(0, 2, 4, 2)));
    EXPECT_TRUE(r.contains(Rect(1, 3, 1, -1)));
    EXPECT_FALSE(r.contains(Rect(1, 3, 4, 1)));
    EXPECT_FALSE(r.contains(Rect::null()));
    EXPECT_TRUE(Rect::infinite().contains(r));
}

TEST(Rect, InsetIntegralOffset) {
    struct Case {
        const char* name;
        Rect got, expected;
    };
    const Case cases[] = {
        {"inset", Rect(0, 0, 10, 8).inset(1, 2), Rect(1, 2, 8, 4)},
        {"inset negative size", Rect(10, 8, -10, -8).inset(1, 2), Rect(1, 2, 8, 4)},
        {"outset", Rect(0, 0, 10, 8).inset(-1, -1), Rect(-1, -1, 12, 10)},
        {"inset to nothing", Rect(0, 0, 10, 8).inset(6, 0), Rect::null()},
        {"inset to zero width", Rect(0, 0, 10, 8).inset(5, 0), Rect(5, 0, 0, 8)},
        {"inset null", Rect::null().inset(1, 1), Rect::null()},
        {"integral", Rect(0.5, 1.2, 2.0, 3.1).integral(), Rect(0, 1, 3, 4)},
        {"integral negative", Rect(-0.5, -1.5, 1, 1).integral(), Rect(-1, -2, 2, 2)},
        {"integral negative size", Rect(2.5, 0, -1, 1).integral(), Rect(1, 0, 2, 1)},
        {"integral whole", Rect(1, 2, 3, 4).integral(), Rect(1, 2, 3, 4)},
        {"integral null", Rect::null().integral(), Rect::null()},
        {"offset", Rect(1, 2, -3, 4).offset(10, -1), Rect(8, 1, 3, 4)},
        {"offset null", Rect::null().offset(1, 1), Rect::null()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.got.isNull(), c.expected.isNull());
        EXPECT_EQ(c.got, c.expected);
    }
    EXPECT_TRUE(Rect::infinite().inset(5, 5).isInfinite());
    EXPECT_TRUE(Rect::infinite().integral().isInfinite());
}

TEST(AffineTransform, PrependOrder) {
    // Operations are listed in call order; points see the last call first.
    const AffineTransform flipThenRotate =
        AffineTransform::makeRotation(std::numbers::pi / 2).scaled(1, -1); // flip, then rotate
    const Point p = flipThenRotate.apply(Point{1, 2});
    EXPECT_NEAR(p.x, 2, 1e-12);
    EXPECT_NEAR(p.y, 1, 1e-12);
    const Point q = AffineTransform::makeScale(1, -1).rotated(std::numbers::pi / 2).apply(Point{1, 2});
    EXPECT_NEAR(q.x, -2, 1e-12);
    EXPECT_NEAR(q.y, -1, 1e-12);

    // Mirror about x = W/2 as the view builds it: translate (W/2, 0), scale (-1, 1), translate (-W/2, 0).
    const AffineTransform mirror =
        AffineTransform::identity().translated(5, 0).scaled(-1, 1).translated(-5, 0);
    EXPECT_EQ(mirror.apply(Point{3, 7}), (Point{7, 7}));

    EXPECT_EQ(AffineTransform::makeScale(2, 3).translated(1, 1).apply(Point{0, 0}), (Point{2, 3}));
    EXPECT_EQ(AffineTransform::identity().rotated(0.3), AffineTransform::makeRotation(0.3));
}

TEST(AffineTransform, ConcatAppliesFirstOperandFirst) {
    const AffineTransform t = AffineTransform::makeTranslation(1, 0);
    const AffineTransform s = AffineTransform::makeScale(2, 2);
    EXPECT_EQ(concat(t, s).apply(Point{0, 0}), (Point{2, 0}));
    EXPECT_EQ(concat(s, t).apply(Point{0, 0}), (Point{1, 0}));
    EXPECT_EQ(s.translated(1, 0), concat(t, s));
}

TEST(AffineTransform, Invert) {
    const AffineTransform t = AffineTransform::makeTranslation(3, -2).rotated(0.7).scaled(2, 0.5);
    ASSERT_TRUE(t.isInvertible());
    const AffineTransform round = concat(t, t.inverted());
    const AffineTransform id = AffineTransform::identity();
    for (auto [got, want] : {std::pair{round.a, id.a},
                             {round.b, id.b},
                             {round.c, id.c},
                             {round.d, id.d},
                             {round.tx, id.tx},
                             {round.ty, id.ty}})
        EXPECT_NEAR(got, want, 1e-12);
    const Point p = t.inverted().apply(t.apply(Point{5, -9}));
    EXPECT_NEAR(p.x, 5, 1e-12);
    EXPECT_NEAR(p.y, -9, 1e-12);

    const AffineTransform singular = AffineTransform::makeScale(0, 1).translated(1, 1);
    EXPECT_FALSE(singular.isInvertible());
    EXPECT_EQ(singular.inverted(), singular);
}

TEST(AffineTransform, ApplyToSizeAndRect) {
    const AffineTransform quarter = AffineTransform::makeTranslation(10, 0).rotated(std::numbers::pi / 2);
    const Size s = quarter.apply(Size{4, 2});
    EXPECT_NEAR(s.width, -2, 1e-12);
    EXPECT_NEAR(s.height, 4, 1e-12);

    struct Case {
        const char* name;
        AffineTransform t;
        Rect r, expected;
    };
    const double half = std::sqrt(2.0) / 2;
    const Case cases[] = {
        {"quarter turn", quarter, Rect(0, 0, 4, 2), Rect(8, 0, 2, 4)},
        {"eighth turn", AffineTransform::makeRotation(std::numbers::pi / 4), Rect(0, 0, 1, 1),
         Rect(-half, 0, 2 * half, 2 * half)},
        {"flip", AffineTransform::makeScale(-1, 1), Rect(1, 1, 2, 2), Rect(-3, 1, 2, 2)},
        {"negative size", AffineTransform::makeTranslation(1, 1), Rect(2, 2, -2, -2), Rect(1, 1, 2, 2)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        expectNear(c.t.apply(c.r), c.expected);
    }
    EXPECT_TRUE(quarter.apply(Rect::null()).isNull());
    EXPECT_TRUE(quarter.apply(Rect::infinite()).isInfinite());
}

TEST(SinglePrecision, ValuesTheViewCodeUses) {
    EXPECT_EQ(kPiF32, 3.1415927410125732);
    EXPECT_EQ(kTwoPiF32, 6.2831854820251465);
    EXPECT_EQ(f32(0.2), 0.20000000298023224);
    EXPECT_EQ(f32(1.03), 1.0299999713897705);
    EXPECT_EQ(roundf32(2.5), 3.0);
    EXPECT_EQ(roundf32(-2.5), -3.0);
    // 0.49999999999 is 0.5 in single precision, so it rounds up where a double round would not.
    EXPECT_EQ(roundf32(0.49999999999), 1.0);
    EXPECT_EQ(floorf32(1.99999999999), 2.0);
    EXPECT_EQ(ceilf32(1.00000000001), 1.0);
}
