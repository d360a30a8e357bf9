#include "kernels/paint/watercolor.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Rgb {
    uint8_t r, g, b;
};

struct Image {
    int w, h;
    std::vector<uint8_t> px;

    Image(int width, int height) : w(width), h(height), px(size_t(width) * height * 4, 0) {}
    void set(int x, int y, Rgb c) {
        uint8_t* p = &px[(size_t(y) * w + x) * 4];
        p[1] = c.r;
        p[2] = c.g;
        p[3] = c.b;
    }
    Rgb at(int x, int y) const {
        const uint8_t* p = &px[(size_t(y) * w + x) * 4];
        return {p[1], p[2], p[3]};
    }
    uint8_t alpha(int x, int y) const { return px[(size_t(y) * w + x) * 4]; }
};

bool operator==(Rgb a, Rgb b) {
    return a.r == b.r && a.g == b.g && a.b == b.b;
}
std::ostream& operator<<(std::ostream& os, Rgb c) {
    return os << '(' << int(c.r) << ',' << int(c.g) << ',' << int(c.b) << ')';
}

Image run(const Image& src, int threshold) {
    Image dst(src.w, src.h);
    for (auto& b : dst.px)
        b = 0xEE;
    watercolor(src.px.data(), dst.px.data(), src.w, src.h, threshold);
    return dst;
}

TEST(Watercolor, ThresholdZeroKeepsTwoGreyCheckerboard) {
    Image src(9, 6);
    for (int y = 0; y < src.h; ++y)
        for (int x = 0; x < src.w; ++x)
            src.set(x, y, (x / 2 + y / 2) % 2 ? Rgb{90, 60, 30} : Rgb{200, 210, 220});
    const Image dst = run(src, 0);
    for (int y = 0; y < src.h; ++y)
        for (int x = 0; x < src.w; ++x) {
            EXPECT_EQ(dst.at(x, y), src.at(x, y)) << x << "," << y;
            EXPECT_EQ(dst.alpha(x, y), 1) << x << "," << y;
        }
}

TEST(Watercolor, GroupsConnectedPixelsByGreyNotByColour) {
    Image src(5, 3); // black, with pixels of grey 10 in three colours
    src.set(0, 0, {30, 0, 0});
    src.set(1, 1, {0, 30, 0}); // diagonal neighbour: same region
    src.set(2, 1, {0, 0, 29}); // grey 9: within threshold 1 of the seed's 10
    src.set(4, 2, {30, 0, 0}); // cut off by black: a region of its own
    const Image dst = run(src, 1);
    const Rgb mean = {10, 10, 9}; // (30 / 3, 30 / 3, 29 / 3)
    EXPECT_EQ(dst.at(0, 0), mean);
    EXPECT_EQ(dst.at(1, 1), mean);
    EXPECT_EQ(dst.at(2, 1), mean);
    EXPECT_EQ(dst.at(4, 2), (Rgb{30, 0, 0}));
    EXPECT_EQ(dst.at(3, 0), (Rgb{0, 0, 0}));
}

TEST(Watercolor, RegionStopsAfterTheRoundReachingAThousandPixels) {
    // Every grey qualifies; each round adds a ring, so the first region grows as a square
    // from the corner and stops at 32 x 32 = 1024 pixels.
    Image src(50, 40);
    for (int y = 0; y < src.h; ++y)
        for (int x = 0; x < src.w; ++x)
            src.set(x, y, {uint8_t(x), uint8_t(y), 100});
    const Image dst = run(src, 255);
    const Rgb first = {15, 15, 100}; // sum of 0..31 over 32, in integers
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            ASSERT_EQ(dst.at(x, y), first) << x << "," << y;
    EXPECT_NE(dst.at(32, 0), first);
    EXPECT_NE(dst.at(0, 32), first);
    for (int y = 0; y < src.h; ++y)
        for (int x = 0; x < src.w; ++x)
            ASSERT_EQ(dst.alpha(x, y), 1);
}

TEST(Watercolor, InvalidArgumentsLeaveDestinationAlone) {
    std::vector<uint8_t> src(16, 5), dst(16, 7);
    watercolor(nullptr, dst.data(), 2, 2, 10);
    watercolor(src.data(), nullptr, 2, 2, 10);
    watercolor(src.data(), dst.data(), 0, 2, 10);
    watercolor(src.data(), dst.data(), 2, -1, 10);
    EXPECT_EQ(dst, std::vector<uint8_t>(16, 7));
}

} // namespace
