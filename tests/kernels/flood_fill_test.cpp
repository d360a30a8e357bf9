#include "kernels/drawing/lines.h"
#include "kernels/regions/flood_fill.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

// 32-bit pixels in rows of width + 2 (the two extra columns are padding that must not change).
struct Image {
    int width, height, stride;
    std::vector<uint32_t> px;
    Image(int w, int h, uint32_t fill = 0)
        : width(w), height(h), stride(w + 2), px(size_t(stride) * h, fill) {}
    uint32_t& at(int x, int y) { return px[size_t(y) * stride + x]; }
    uint8_t* bytes() { return reinterpret_cast<uint8_t*>(px.data()); }
    int row_bytes() const { return stride * 4; }
};

uint32_t pixel(uint8_t a, uint8_t r, uint8_t g, uint8_t b) {
    const uint8_t bytes[4] = {a, r, g, b};
    uint32_t p;
    std::memcpy(&p, bytes, 4);
    return p;
}

// The expected fill: a breadth-first search over 4-neighbours of equal value.
Image bfs_fill(Image img, int sx, int sy, uint32_t value) {
    if (sx < 0 || sy < 0 || sx >= img.width || sy >= img.height) return img;
    const uint32_t old = img.at(sx, sy);
    if (old == value) return img;
    std::vector<std::pair<int, int>> queue{{sx, sy}};
    img.at(sx, sy) = value;
    for (size_t i = 0; i < queue.size(); ++i) {
        const auto [x, y] = queue[i];
        const int nx[4] = {x - 1, x + 1, x, x}, ny[4] = {y, y, y - 1, y + 1};
        for (int k = 0; k < 4; ++k) {
            if (nx[k] < 0 || ny[k] < 0 || nx[k] >= img.width || ny[k] >= img.height) continue;
            if (img.at(nx[k], ny[k]) != old) continue;
            img.at(nx[k], ny[k]) = value;
            queue.push_back({nx[k], ny[k]});
        }
    }
    return img;
}

Image pattern(int w, int h, const std::function<bool(int, int)>& open) {
    Image img(w, h, 0xEEEEEEEE);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.at(x, y) = open(x, y) ? 0x10 : 0x20;
    return img;
}

// A square spiral corridor one pixel wide, walls one pixel thick.
Image spiral(int n) {
    Image img = pattern(n, n, [](int, int) { return false; });
    int x = 0, y = 0, dir = 0, len = n - 1;
    const int dx[4] = {1, 0, -1, 0}, dy[4] = {0, 1, 0, -1};
    img.at(0, 0) = 0x10;
    for (int leg = 0; len > 0; ++leg) {
        for (int k = 0; k < len; ++k) {
            x += dx[dir];
            y += dy[dir];
            img.at(x, y) = 0x10;
        }
        dir = (dir + 1) % 4;
        if (leg >= 1 && leg % 2 == 1) len -= 2;
    }
    return img;
}

TEST(FloodFill, FillsExactlyTheConnectedRegion) {
    struct Case {
        std::string name;
        Image image;
        int x, y;
    };
    const Case cases[] = {
        {"open 500x500", pattern(500, 500, [](int, int) { return true; }), 250, 250},
        {"spiral", spiral(61), 0, 0},
        {"checkerboard", pattern(9, 7, [](int x, int y) { return (x + y) % 2 == 0; }), 4, 2},
        // Every odd row splits into a thousand runs that wait on the stack: about a million
        // segments are pending at once.
        {"mesh 2000x2000", pattern(2000, 2000, [](int x, int y) { return x % 2 == 0 || y % 2 == 0; }), 0, 0},
        // Columns past 32767.
        {"wide strip", pattern(40000, 3, [](int x, int y) { return y != 1 || x % 5000 == 4999; }), 39999, 2},
    };
    for (const Case& c : cases) {
        Image img = c.image;
        EXPECT_TRUE(flood_fill(img.bytes(), img.width, img.height, img.row_bytes(), c.x, c.y, 0x33));
        const Image expected = bfs_fill(c.image, c.x, c.y, 0x33);
        EXPECT_TRUE(img.px == expected.px) << c.name;
    }
}

TEST(FloodFill, RandomImagesMatchBreadthFirstSearch) {
    std::mt19937 rng(11);
    for (int n = 0; n < 300; ++n) {
        const int w = 1 + int(rng() % 24), h = 1 + int(rng() % 24), values = 2 + int(rng() % 2);
        Image img(w, h, 0xEEEEEEEE);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                img.at(x, y) = 0x100 * (1 + rng() % values);
        // Some seeds fall outside the image and must fill nothing.
        const int sx = int(rng() % (w + 4)) - 2, sy = int(rng() % (h + 4)) - 2;
        const Image expected = bfs_fill(img, sx, sy, 7);
        EXPECT_TRUE(flood_fill(img.bytes(), w, h, img.row_bytes(), sx, sy, 7));
        ASSERT_TRUE(img.px == expected.px) << "image " << n << " seed " << sx << "," << sy;
    }
}

TEST(FloodFill, DiagonalLineIsAClosedWall) {
    const int n = 20;
    Image img(n, n, 0);
    draw_line_alpha(img.bytes(), n, n, img.row_bytes(), 0, 0, n - 1, n - 1, 255);
    EXPECT_TRUE(flood_fill(img.bytes(), n, n, img.row_bytes(), 0, n - 1, 0x44));
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const uint32_t expected = x == y ? 255u : x < y ? 0x44u : 0u;
            ASSERT_EQ(img.at(x, y), expected) << x << "," << y;
        }
}

TEST(FloodFill, ValueEqualToTheSeedsReturnsUnchanged) {
    Image img = pattern(30, 30, [](int x, int) { return x < 20; });
    const Image original = img;
    EXPECT_TRUE(flood_fill(img.bytes(), 30, 30, img.row_bytes(), 3, 3, 0x10));
    EXPECT_TRUE(img.px == original.px);
}

TEST(FloodFillAverage, PaintsTheRegionWithTheTruncatedSourceMean) {
    // dst: a 1-pixel-high region of three equal values at x = 1..3, a pixel differing only in
    // alpha at x = 4, another value at x = 0.
    const uint32_t region = pixel(0, 50, 50, 50);
    Image dst(6, 1);
    dst.at(0, 0) = pixel(0, 60, 50, 50);
    dst.at(1, 0) = dst.at(2, 0) = dst.at(3, 0) = region;
    dst.at(4, 0) = pixel(9, 50, 50, 50);
    dst.at(5, 0) = region; // equal but not connected
    Image src(6, 1);
    src.at(0, 0) = pixel(0, 200, 200, 200);
    src.at(1, 0) = pixel(0, 10, 0, 255);
    src.at(2, 0) = pixel(0, 11, 1, 254);
    src.at(3, 0) = pixel(0, 11, 1, 254);
    src.at(4, 0) = src.at(5, 0) = pixel(0, 90, 90, 90);

    Image expected = dst;
    expected.at(1, 0) = expected.at(2, 0) = expected.at(3, 0) = pixel(2, 10, 0, 254);
    EXPECT_TRUE(flood_fill_average(src.bytes(), dst.bytes(), 6, 1, src.row_bytes(), dst.row_bytes(), 2, 0));
    EXPECT_TRUE(dst.px == expected.px);
}

TEST(FloodFillAverage, AlreadyCollectedOrOutsideSeedsChangeNothing) {
    Image src(3, 3, pixel(0, 9, 9, 9));
    for (uint32_t seed_value : {pixel(1, 5, 5, 5), pixel(2, 9, 9, 9)}) {
        Image dst(3, 3, seed_value);
        const Image original = dst;
        EXPECT_TRUE(
            flood_fill_average(src.bytes(), dst.bytes(), 3, 3, src.row_bytes(), dst.row_bytes(), 1, 1));
        EXPECT_TRUE(
            flood_fill_average(src.bytes(), dst.bytes(), 3, 3, src.row_bytes(), dst.row_bytes(), -1, 1));
        EXPECT_TRUE(
            flood_fill_average(src.bytes(), dst.bytes(), 3, 3, src.row_bytes(), dst.row_bytes(), 1, 3));
        EXPECT_TRUE(dst.px == original.px);
    }
}

} // namespace
