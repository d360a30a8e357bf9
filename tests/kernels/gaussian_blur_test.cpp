#include "kernels/blur/GaussianKernelCache.h"
#include "kernels/blur/gaussian_blur.h"
#include "platform/graphics/ParallelRows.h"

#include "kernels/blur_reference.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <random>
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

// Random shapes against the plain loop: odd sizes on both sides of the kernel's width, steps,
// strides, both byte conversions, pictures with flat patches (whose sums lie a hair off whole
// levels) and kernels beside the table's (uneven, negative, summing past one).
TEST(GaussianBlurKernelValues, RandomShapesMatchThePlainLoop) {
    std::mt19937 gen(2024);
    const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(gen); };
    for (int round = 0; round < 60; ++round) {
        const int w = pick(1, 161) | 1, h = pick(1, 97) | 1, step = pick(1, 4);
        const int r = pick(1, 40), size = 2 * r + 1;
        const int sstride = pick(1, 5), dstride = pick(1, 5);
        const bool rounded = round % 2 == 1;
        Table t(gaussianMatrixForRadius(unsigned(r)));
        std::vector<float> k(t.get() + (r - 1) * size, t.get() + r * size);
        if (round % 10 == 7) k[size_t(pick(0, size - 1))] *= -0.5f;
        if (round % 10 == 8) k[size_t(pick(0, size - 1))] += 0.25f;
        if (round % 10 == 9) k.back() *= 3.0f;
        const int levels = pick(0, 2) == 0 ? 3 : 255;
        auto src = random_bytes(size_t(w) * h * std::max(sstride, 4), uint32_t(100 + round), levels);
        if (levels == 3)
            for (auto& b : src)
                b = uint8_t(b * 100 + 3);
        const std::string what = std::to_string(w) + "x" + std::to_string(h) + " r" + std::to_string(r) +
                                 " step " + std::to_string(step) + " strides " + std::to_string(sstride) +
                                 "," + std::to_string(dstride) + (rounded ? " rounded" : "") + " kernel " +
                                 std::to_string(round % 10);

        std::vector<uint8_t> got(size_t(w) * h * dstride, 0x5A), want(got.size(), 0x5A);
        EXPECT_TRUE(
            gaussianBlur(src.data(), got.data(), w, h, k.data(), size, sstride, dstride, step, rounded));
        gaussian(src.data(), want.data(), w, h, k.data(), size, sstride, dstride, step, rounded);
        ASSERT_EQ(got, want) << what;

        std::vector<uint8_t> argb(size_t(w) * h * 4, 0x5A), argb_want(argb.size(), 0x5A);
        EXPECT_TRUE(gaussianBlurARGB(src.data(), argb.data(), w, h, k.data(), size, step, rounded));
        for (int c = 1; c <= 3; ++c)
            gaussian(src.data() + c, argb_want.data() + c, w, h, k.data(), size, 4, 4, step, rounded);
        ASSERT_EQ(argb, argb_want) << what << " ARGB";
    }
}

// Flat areas sum to a hair under or over each level; every level at radii the effects use keeps
// the plain loop's bytes, truncated and rounded.
TEST(GaussianBlurKernelValues, FlatLevelsMatchThePlainLoop) {
    const int w = 70, h = 5;
    GaussianKernelCache cache;
    for (const unsigned r : {1u, 2u, 3u, 7u, 12u, 20u, 31u})
        for (const bool rounded : {false, true})
            for (int v = 0; v < 256; ++v) {
                const std::vector<uint8_t> flat(size_t(w) * h, uint8_t(v));
                std::vector<uint8_t> got(flat.size()), want(flat.size());
                const float* k = cache.gaussianMatrixForRadius(r);
                EXPECT_TRUE(gaussianBlur(flat.data(), got.data(), w, h, k, int(2 * r + 1), 1, 1, 1, rounded));
                gaussian(flat.data(), want.data(), w, h, k, int(2 * r + 1), 1, 1, 1, rounded);
                ASSERT_EQ(got, want) << "level " << v << " radius " << r << (rounded ? " rounded" : "");
            }
}

// One buffer as source and destination on different bytes of its pixels, as the soft edge mask
// uses it: the source bytes are read whole before any is overwritten.
TEST(GaussianBlurKernelValues, SourceAndDestinationInOneBuffer) {
    const int w = 90, h = 40, r = 9, step = 2;
    Table t(gaussianMatrixForRadius(r));
    const float* k = t.get() + (r - 1) * (2 * r + 1);
    auto image = random_bytes(size_t(w) * h * 4, 44);
    std::vector<uint8_t> want = image;
    gaussian(image.data(), want.data() + 1, w, h, k, 2 * r + 1, 4, 4, step);
    EXPECT_TRUE(gaussianBlur(image.data(), image.data() + 1, w, h, k, 2 * r + 1, 4, 4, step));
    EXPECT_EQ(image, want);
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
