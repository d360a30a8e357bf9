#include "kernels/drawing/lines.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <set>
#include <utility>
#include <vector>

namespace {

using Points = std::set<std::pair<int, int>>;

// A buffer whose rows carry padding after the pixels: the padding must stay untouched.
struct Canvas {
    int width, height, row_bytes;
    std::vector<uint8_t> bytes;
    Canvas(int w, int h, uint8_t fill = 0)
        : width(w), height(h), row_bytes(w * 4 + 12), bytes(size_t(row_bytes) * h, fill) {}
    uint8_t* at(int x, int y) { return &bytes[size_t(y) * row_bytes + size_t(x) * 4]; }
    // Pixels whose byte 0 differs from fill.
    Points marked(uint8_t fill = 0) {
        Points p;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (at(x, y)[0] != fill) p.insert({x, y});
        return p;
    }
    bool padding_is(uint8_t fill) const {
        for (int y = 0; y < height; ++y)
            for (int k = width * 4; k < row_bytes; ++k)
                if (bytes[size_t(y) * row_bytes + k] != fill) return false;
        return true;
    }
};

// The line walked step by step as the algorithm reads, every pixel kept (no clipping).
Points reference_line(int x0, int y0, int x1, int y1) {
    const int dx = x1 - x0, dy = y1 - y0;
    const int sx = (dx > 0) - (dx < 0), sy = (dy > 0) - (dy < 0);
    const int adx = std::abs(dx), ady = std::abs(dy);
    Points p{{x0, y0}};
    const bool y_major = adx < ady;
    const int len = y_major ? ady : adx, shrt = y_major ? adx : ady;
    int err = 2 * shrt - len, x = x0, y = y0;
    for (int k = 0; k < len; ++k) {
        if (err >= 0) {
            if (y_major)
                x += sx;
            else
                y += sy;
            err -= 2 * len;
        }
        if (y_major)
            y += sy;
        else
            x += sx;
        p.insert({x, y});
        err += 2 * shrt;
    }
    return p;
}

Points inside(const Points& all, int w, int h) {
    Points p;
    for (auto [x, y] : all)
        if (x >= 0 && y >= 0 && x < w && y < h) p.insert({x, y});
    return p;
}

TEST(Lines, DrawsTheExpectedPixels) {
    struct Case {
        const char* name;
        int x0, y0, x1, y1;
        Points expected;
    };
    const Case cases[] = {
        {"one point", 2, 1, 2, 1, {{2, 1}}},
        {"horizontal", 1, 2, 4, 2, {{1, 2}, {2, 2}, {3, 2}, {4, 2}}},
        {"vertical upward", 3, 4, 3, 1, {{3, 1}, {3, 2}, {3, 3}, {3, 4}}},
        {"shallow", 0, 0, 4, 2, {{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}}},
        {"shallow reversed", 4, 2, 0, 0, {{4, 2}, {3, 1}, {2, 1}, {1, 0}, {0, 0}}},
        {"steep", 0, 0, 1, 3, {{0, 0}, {0, 1}, {1, 2}, {1, 3}}},
        {"diagonal", 0, 4, 4, 0, {{0, 4}, {1, 3}, {2, 2}, {3, 1}, {4, 0}}},
        {"clipped both ends", -5, 3, 5, 3, {{0, 3}, {1, 3}, {2, 3}, {3, 3}}},
        {"point outside", 9, 1, 9, 1, {}},
        {"wholly outside", -3, -1, 9, -2, {}},
    };
    for (const Case& c : cases) {
        Canvas canvas(4 + 1, 5, 0);
        draw_line_alpha(canvas.bytes.data(), 4, 5, canvas.row_bytes, c.x0, c.y0, c.x1, c.y1, 0x1FF);
        // Column 4 stands in for memory beyond a 4-wide buffer.
        EXPECT_EQ(canvas.marked(), inside(c.expected, 4, 5)) << c.name;
        EXPECT_TRUE(canvas.padding_is(0)) << c.name;
    }
}

TEST(Lines, AlphaWriterTouchesByteZeroOnlyAndFullWriterTheWholePixel) {
    Canvas a(3, 1, 7), b(3, 1, 7);
    draw_line_alpha(a.bytes.data(), 3, 1, a.row_bytes, 0, 0, 2, 0, 0xAABBCCDD);
    draw_line(b.bytes.data(), 3, 1, b.row_bytes, 0, 0, 2, 0, 0xAABBCCDD);
    const uint32_t value = 0xAABBCCDD;
    for (int x = 0; x < 3; ++x) {
        const uint8_t expected_a[4] = {0xDD, 7, 7, 7};
        EXPECT_EQ(std::memcmp(a.at(x, 0), expected_a, 4), 0) << x;
        EXPECT_EQ(std::memcmp(b.at(x, 0), &value, 4), 0) << x;
    }
    EXPECT_TRUE(a.padding_is(7));
    EXPECT_TRUE(b.padding_is(7));
}

TEST(Lines, ClippedLinesMatchTheFullWalk) {
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> coord(-60, 60);
    const int w = 17, h = 11;
    for (int n = 0; n < 3000; ++n) {
        const int x0 = coord(rng), y0 = coord(rng), x1 = coord(rng), y1 = coord(rng);
        Canvas canvas(w, h);
        draw_line(canvas.bytes.data(), w, h, canvas.row_bytes, x0, y0, x1, y1, 1);
        ASSERT_EQ(canvas.marked(), inside(reference_line(x0, y0, x1, y1), w, h))
            << x0 << "," << y0 << " -> " << x1 << "," << y1;
        ASSERT_TRUE(canvas.padding_is(0));
    }
}

TEST(Lines, FarEndPointsDrawOnlyTheirVisiblePart) {
    struct Case {
        const char* name;
        int x0, y0, x1, y1;
        Points expected;
    };
    Points row3, diagonal, row6;
    for (int x = 0; x < 16; ++x) {
        row3.insert({x, 3});
        row6.insert({x, 6});
        if (x < 8) diagonal.insert({x, x});
    }
    const Case cases[] = {
        {"whole int range", INT_MIN, 3, INT_MAX, 3, row3},
        {"diagonal", -2000000000, -2000000000, 2000000000, 2000000000, diagonal},
        // Two minor steps over two billion: the first lands at k = 5e8, the second at 1.5e9.
        {"nearly flat", -1000000000, 5, 1000000000, 7, row6},
    };
    for (const Case& c : cases) {
        Canvas canvas(16, 8);
        draw_line_alpha(canvas.bytes.data(), 16, 8, canvas.row_bytes, c.x0, c.y0, c.x1, c.y1, 1);
        EXPECT_EQ(canvas.marked(), c.expected) << c.name;
    }
}

TEST(Lines, ImplicitEquations) {
    float x = -1, y = -1;
    EXPECT_EQ(intersect(&x, &y, 1, 0, -1, 0, 1, -2), 1);
    EXPECT_FLOAT_EQ(x, 1);
    EXPECT_FLOAT_EQ(y, 2);
    x = y = -7;
    EXPECT_EQ(intersect(&x, &y, 1, 2, 3, 2, 4, 9), 0);
    EXPECT_EQ(x, -7);
    EXPECT_EQ(y, -7);

    EXPECT_TRUE(equivalent(1, 2, 3, 2, 4, 6));
    EXPECT_FALSE(equivalent(1, 2, 3, 1, -2, 3));
    EXPECT_FALSE(equivalent(1, 2, 3, 1, 2, -3));

    EXPECT_FLOAT_EQ(dist_to_line(0, 2, 5, 9), 3);
    EXPECT_NEAR(dist_to_line(float(M_PI / 2), 1, 0, 4), 3, 1e-6);
    EXPECT_NEAR(dist_to_line(float(M_PI), 1, 4, 0), -5, 1e-6);
}

TEST(Lines, NormalFormLineMeetsTheEnlargedFrame) {
    struct Case {
        float theta, rho;
        int result;
        float x0, y0, x1, y1;
    };
    const Case cases[] = {
        {0, 0, 1, 5, 16, 5, -8},     // vertical through the centre: top and bottom sides
        {0, 3, 1, 8, 16, 8, -8},     // shifted right by rho
        {90, 0, 1, -10, 4, 20, 4},   // horizontal: left and right sides
        {0, 100, 0, -1, -1, -1, -1}, // misses the frame
    };
    for (const Case& c : cases) {
        float x0 = -1, y0 = -1, x1 = -1, y1 = -1;
        EXPECT_EQ(intersect_line_rect(c.theta, c.rho, 10, 8, &x0, &y0, &x1, &y1), c.result) << c.theta;
        EXPECT_NEAR(x0, c.x0, 1e-4) << c.theta;
        EXPECT_NEAR(y0, c.y0, 1e-4) << c.theta;
        EXPECT_NEAR(x1, c.x1, 1e-4) << c.theta;
        EXPECT_NEAR(y1, c.y1, 1e-4) << c.theta;
    }
}

TEST(Lines, QuadrilateralSpansStopBeforeTheirRightEdge) {
    const int w = 8, h = 6;
    std::vector<uint8_t> plane(size_t(w + 3) * h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            plane[size_t(y) * (w + 3) + x] = uint8_t(1 + x + 10 * y);
    // Rows 1..4, columns 1..4 (the right edge's column 5 is excluded).
    uint64_t expected = 0;
    for (int y = 1; y <= 4; ++y)
        for (int x = 1; x <= 4; ++x)
            expected += uint64_t(1 + x + 10 * y);
    EXPECT_EQ(get_quadr_brightness(plane.data(), w, h, w + 3, 1, 1, 5, 1, 5, 4, 1, 4), expected);

    // Past the right side the span ends at width - 1; rows far outside are clamped.
    expected = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w - 1; ++x)
            expected += uint64_t(1 + x + 10 * y);
    EXPECT_EQ(get_quadr_brightness(plane.data(), w, h, w + 3, -3, -900, 20, -900, 20, 900, -3, 900),
              expected);
}

TEST(Lines, FillQuadrSetsGreenInsideAndClampsFarRows) {
    Canvas canvas(6, 4, 9);
    // Vertex rows far outside the tables' range must not reach memory outside them.
    fill_quadr(canvas.bytes.data(), 6, 4, canvas.row_bytes, 1, -1000, 3, -1000, 3, 5000, 1, 5000);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) {
            const uint8_t* p = canvas.at(x, y);
            EXPECT_EQ(p[2], x == 1 || x == 2 ? 255 : 9) << x << "," << y;
            EXPECT_EQ(p[0], 9);
            EXPECT_EQ(p[1], 9);
            EXPECT_EQ(p[3], 9);
        }
    EXPECT_TRUE(canvas.padding_is(9));
}

} // namespace
