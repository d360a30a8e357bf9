#include "kernels/GaussianKernelCache.h"
#include "kernels/gaussian_blur.h"
#include "platform/graphics/ParallelRows.h"

#include "kernels/blur_reference.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using namespace blur_reference;

namespace {

struct FreeTable {
    void operator()(float* p) const { std::free(p); }
};
using Table = std::unique_ptr<float, FreeTable>;

TEST(GaussianTable, FirstRowsHoldTheKnownWeights) {
    Table t(gaussianMatrixForRadius(2));
    ASSERT_TRUE(t);
    const float row1[] = {0.14425598f, 0.71148795f, 0.14425598f};
    const float row2[] = {0.07379357f, 0.24422705f, 0.36395878f, 0.24422705f, 0.07379357f};
    for (int i = 0; i < 3; ++i)
        EXPECT_FLOAT_EQ(t.get()[i], row1[i]);
    for (int i = 3; i < 5; ++i)
        EXPECT_EQ(t.get()[i], 0.0f);
    for (int i = 0; i < 5; ++i)
        EXPECT_FLOAT_EQ(t.get()[5 + i], row2[i]);
}

TEST(GaussianTable, RowsFollowTheGaussianAndArePaddedWithZeros) {
    const unsigned r = 40;
    Table t(gaussianMatrixForRadius(r));
    ASSERT_TRUE(t);
    const double sqrt_2pi = std::sqrt(2 * M_PI);
    for (unsigned k = 1; k <= r; ++k) {
        const float* row = t.get() + (k - 1) * (2 * r + 1);
        double norm = 0;
        for (int i = -int(k); i <= int(k); ++i)
            norm += std::exp(-4.0 * i * i / (sqrt_2pi * k * k));
        for (int i = -int(k); i <= int(k); ++i)
            EXPECT_NEAR(row[i + k], std::exp(-4.0 * i * i / (sqrt_2pi * k * k)) / norm, 1e-6)
                << k << " " << i;
        for (unsigned j = 2 * k + 1; j < 2 * r + 1; ++j)
            EXPECT_EQ(row[j], 0.0f) << k << " " << j;
    }
    EXPECT_EQ(gaussianMatrixForRadius(0), nullptr);
}

TEST(GaussianKernelCache, GrowsToAtLeastThirtyAndOnlyWhenAskedForMore) {
    GaussianKernelCache cache;
    Table reference(gaussianMatrixForRadius(40));
    const auto same_row = [&](const float* row, unsigned r) {
        const float* want = reference.get() + (r - 1) * 81;
        for (unsigned i = 0; i < 2 * r + 1; ++i)
            if (row[i] != want[i]) return false;
        return true;
    };

    const float* five = cache.gaussianMatrixForRadius(5);
    EXPECT_EQ(cache.maxRadius(), 30u);
    EXPECT_TRUE(same_row(five, 5));
    EXPECT_EQ(cache.gaussianMatrixForRadius(30), five + (30 - 5) * 61);

    EXPECT_TRUE(same_row(cache.gaussianMatrixForRadius(40), 40));
    EXPECT_EQ(cache.maxRadius(), 40u);
    EXPECT_TRUE(same_row(cache.gaussianMatrixForRadius(7), 7));
    EXPECT_EQ(cache.maxRadius(), 40u);

    const float* identity = cache.gaussianMatrixForRadius(0);
    ASSERT_NE(identity, nullptr);
    EXPECT_EQ(identity[0], 1.0f);
}

struct GaussCase {
    int width, height, radius, step;
};

// Radii up to past the image (mirrored samples that still fall outside are clamped), steps that
// do and do not divide the size.
const GaussCase kGaussCases[] = {
    {9, 7, 1, 1},   {9, 7, 2, 1},   {9, 7, 3, 2},   {1, 5, 1, 1},   {5, 1, 2, 1}, {1, 1, 3, 1},
    {31, 23, 5, 1}, {31, 23, 4, 3}, {12, 11, 2, 5}, {11, 12, 2, 5}, {6, 4, 9, 1}, {40, 3, 7, 2},
};

class GaussianBlurKernel : public ::testing::TestWithParam<GaussCase> {};

TEST_P(GaussianBlurKernel, MatchesTheDirectTwoPassLoop) {
    const auto [w, h, r, step] = GetParam();
    Table t(gaussianMatrixForRadius(unsigned(r)));
    const float* k = t.get() + (r - 1) * (2 * r + 1);
    const auto src = random_bytes(size_t(w) * h * 4, 41);
    std::vector<uint8_t> got(src.size(), 0x3C), want(src.size(), 0x3C);
    EXPECT_TRUE(gaussianBlurARGB(src.data(), got.data(), w, h, k, 2 * r + 1, step));
    for (int c = 1; c <= 3; ++c)
        gaussian(src.data() + c, want.data() + c, w, h, k, 2 * r + 1, 4, 4, step);
    ASSERT_EQ(got, want);

    // One-byte pixels into a plane of another stride.
    std::vector<uint8_t> got1(size_t(w) * h * 2, 0x3C), want1(got1.size(), 0x3C);
    EXPECT_TRUE(gaussianBlur(src.data(), got1.data(), w, h, k, 2 * r + 1, 1, 2, step));
    gaussian(src.data(), want1.data(), w, h, k, 2 * r + 1, 1, 2, step);
    ASSERT_EQ(got1, want1);
}

INSTANTIATE_TEST_SUITE_P(Shapes, GaussianBlurKernel, ::testing::ValuesIn(kGaussCases), [](const auto& info) {
    const GaussCase& c = info.param;
    return std::to_string(c.width) + "x" + std::to_string(c.height) + "_r" + std::to_string(c.radius) +
           "_step" + std::to_string(c.step);
});

TEST(GaussianBlurKernelValues, OneTapKernelCopiesAndFlatGreyLosesTruncatedLevels) {
    const int w = 30, h = 30;
    const std::vector<uint8_t> flat(size_t(w) * h, 200);
    const auto src = random_bytes(size_t(w) * h, 42);
    std::vector<uint8_t> dst(src.size());
    GaussianKernelCache cache;
    EXPECT_TRUE(gaussianBlur(src.data(), dst.data(), w, h, cache.gaussianMatrixForRadius(0), 1, 1, 1, 1));
    EXPECT_EQ(dst, src);

    // Rows whose weights sum to just under 1 lose a level in a truncating pass; the double sums
    // decide per radius and per pass.
    struct Case {
        unsigned radius;
        uint8_t expected;
    };
    for (const Case c : {Case{1, 198}, Case{2, 200}, Case{3, 200}, Case{5, 200}, Case{7, 198}, Case{9, 199},
                         Case{12, 198}}) {
        EXPECT_TRUE(gaussianBlur(flat.data(), dst.data(), w, h, cache.gaussianMatrixForRadius(c.radius),
                         int(2 * c.radius + 1), 1, 1, 1));
        for (const uint8_t v : dst)
            ASSERT_EQ(v, c.expected) << "radius " << c.radius;
    }
}

TEST(GaussianBlurKernelValues, ThreadsGiveTheSameBytes) {
    const int w = 300, h = 211, r = 6;
    Table t(gaussianMatrixForRadius(r));
    const float* k = t.get() + (r - 1) * (2 * r + 1);
    const auto src = random_bytes(size_t(w) * h * 4, 43);
    std::vector<uint8_t> want(src.size(), 0);
    for (int c = 1; c <= 3; ++c)
        gaussian(src.data() + c, want.data() + c, w, h, k, 2 * r + 1, 4, 4, 1);
    for (const unsigned threads : {1u, 2u, 7u}) {
        graphics::setParallelThreads(threads);
        std::vector<uint8_t> got(src.size(), 0);
        EXPECT_TRUE(gaussianBlurARGB(src.data(), got.data(), w, h, k, 2 * r + 1, 1));
        EXPECT_EQ(got, want) << threads << " threads";
    }
    graphics::setParallelThreads(0);
}

} // namespace
