#include "kernels/blur/ctmf.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

// Sorted-window median with edge samples repeated outward.
std::vector<uint8_t> brute_median(const std::vector<uint8_t>& src, int w, int h, int cn, int r) {
    std::vector<uint8_t> out(src.size()), window;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int ch = 0; ch < cn; ++ch) {
                window.clear();
                for (int dy = -r; dy <= r; ++dy)
                    for (int dx = -r; dx <= r; ++dx) {
                        const int yy = std::clamp(y + dy, 0, h - 1), xx = std::clamp(x + dx, 0, w - 1);
                        window.push_back(src[(size_t(yy) * w + xx) * cn + ch]);
                    }
                std::nth_element(window.begin(), window.begin() + window.size() / 2, window.end());
                out[(size_t(y) * w + x) * cn + ch] = window[window.size() / 2];
            }
    return out;
}

struct MedianCase {
    int w, h, cn, r;
    long memory; // small values force several stripes
};

class CtmfMatchesBruteForce : public ::testing::TestWithParam<MedianCase> {};

TEST_P(CtmfMatchesBruteForce, OnRandomImage) {
    const auto c = GetParam();
    std::mt19937 rng(unsigned(c.w * 131 + c.h * 7 + c.r + c.cn));
    std::vector<uint8_t> src(size_t(c.w) * c.h * c.cn);
    for (auto& v : src)
        v = uint8_t(rng());
    // Destination rows padded so that the step is honoured, not assumed.
    const int dst_step = c.w * c.cn + 5;
    std::vector<uint8_t> dst(size_t(dst_step) * c.h, 0xAB);
    ASSERT_TRUE(ctmf(src.data(), dst.data(), c.w, c.h, c.w * c.cn, dst_step, c.r, c.cn, c.memory));

    const auto expected = brute_median(src, c.w, c.h, c.cn, c.r);
    for (int y = 0; y < c.h; ++y) {
        for (int i = 0; i < c.w * c.cn; ++i)
            ASSERT_EQ(dst[size_t(y) * dst_step + i], expected[size_t(y) * c.w * c.cn + i])
                << "row " << y << " sample " << i;
        for (int i = c.w * c.cn; i < dst_step; ++i)
            ASSERT_EQ(dst[size_t(y) * dst_step + i], 0xAB);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Radii, CtmfMatchesBruteForce,
    ::testing::Values(MedianCase{9, 7, 1, 0, 544L * 4}, MedianCase{23, 11, 1, 1, 544L * 6},
                      MedianCase{23, 11, 4, 1, 544L * 6}, MedianCase{31, 12, 1, 2, 544L * 9},
                      MedianCase{31, 12, 4, 2, 544L * 9}, MedianCase{40, 15, 1, 3, 544L * 10},
                      MedianCase{40, 15, 4, 3, 544L * 11}, MedianCase{45, 17, 1, 4, 544L * 12},
                      MedianCase{45, 17, 4, 4, 544L * 13}, MedianCase{9, 9, 1, 4, 544L * 9},
                      MedianCase{30, 10, 3, 2, 512L * 1024}),
    [](const auto& info) {
        const MedianCase& c = info.param;
        return "w" + std::to_string(c.w) + "_r" + std::to_string(c.r) + "_cn" + std::to_string(c.cn) +
               "_mem" + std::to_string(c.memory);
    });

TEST(Ctmf, RejectsWhatItCannotFilter) {
    std::vector<uint8_t> src(100, 7), dst(100, 1);
    struct Bad {
        const uint8_t* s;
        uint8_t* d;
        int w, h, r, cn, step;
        long memory;
    } cases[] = {
        {nullptr, dst.data(), 10, 10, 1, 1, 10, 544 * 100},
        {src.data(), nullptr, 10, 10, 1, 1, 10, 544 * 100},
        {src.data(), dst.data(), 10, 10, -1, 1, 10, 544 * 100},
        {src.data(), dst.data(), 10, 10, 5, 1, 10, 544 * 100}, // window wider than the image
        {src.data(), dst.data(), 10, 2, 1, 1, 10, 544 * 100},  // window taller than the image
        {src.data(), dst.data(), 10, 10, 1, 0, 10, 544 * 100},
        {src.data(), dst.data(), 10, 10, 1, 1, 0, 544 * 100},
        {src.data(), dst.data(), 10, 10, 1, 1, 10, 544 * 2},      // no column left for a stripe
        {src.data(), dst.data(), 10, 10, 128, 1, 10, 544 * 1000}, // window count beyond 16 bits
    };
    for (const auto& b : cases) {
        EXPECT_FALSE(ctmf(b.s, b.d, b.w, b.h, b.step, b.step, b.r, b.cn, b.memory));
        EXPECT_EQ(std::count(dst.begin(), dst.end(), 1), 100);
    }
}

} // namespace
