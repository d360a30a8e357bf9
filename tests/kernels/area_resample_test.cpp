#include "kernels/drawing/area_resample.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

std::vector<uint8_t> picture(int w, int h, uint8_t (*value)(int x, int y, int c)) {
    std::vector<uint8_t> p(size_t(w) * size_t(h) * 4, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 1; c <= 3; ++c)
                p[(size_t(y) * size_t(w) + size_t(x)) * 4 + size_t(c)] = value(x, y, c);
    return p;
}

} // namespace

// Whole blocks give their exact means: stripes one pixel wide reduced by 2 are flat grey, not
// stripes (what sampling every other pixel would give); a third of a pixel's weight is honoured.
TEST(AreaResample, OutputPixelsAreTheMeansOfTheAreasTheyCover) {
    const auto stripes = picture(8, 6, [](int x, int, int c) { return uint8_t(x % 2 ? 200 : 10 * c); });
    std::vector<uint8_t> half(4 * 3 * 4, 7);
    ASSERT_TRUE(area_resample(stripes.data(), 8, 6, half.data(), 4, 3));
    for (size_t i = 0; i < half.size(); i += 4) {
        EXPECT_EQ(half[i], 0) << "alpha";
        for (int c = 1; c <= 3; ++c)
            EXPECT_EQ(half[i + size_t(c)], (200 + 10 * c + 1) / 2) << "pixel " << i / 4 << " channel " << c;
    }

    // 3 pixels into 2: the middle one is shared half and half.
    const auto row = picture(3, 1, [](int x, int, int) { return uint8_t(x == 0 ? 0 : x == 1 ? 90 : 180); });
    std::vector<uint8_t> two(2 * 4);
    ASSERT_TRUE(area_resample(row.data(), 3, 1, two.data(), 2, 1));
    EXPECT_EQ(two[1], 30);  // (0 x 1 + 90 x 0.5) / 1.5
    EXPECT_EQ(two[5], 150); // (90 x 0.5 + 180 x 1) / 1.5
}

TEST(AreaResample, EnlargingRepeatsAndEmptySizesFail) {
    const auto one = picture(1, 1, [](int, int, int c) { return uint8_t(40 * c); });
    std::vector<uint8_t> big(5 * 3 * 4);
    ASSERT_TRUE(area_resample(one.data(), 1, 1, big.data(), 5, 3));
    for (size_t i = 0; i < big.size(); i += 4)
        EXPECT_EQ(big[i + 2], 80);
    EXPECT_FALSE(area_resample(one.data(), 1, 1, big.data(), 0, 3));
    EXPECT_FALSE(area_resample(one.data(), 0, 1, big.data(), 5, 3));
    EXPECT_FALSE(area_resample(nullptr, 1, 1, big.data(), 5, 3));
}
