#include "kernels/blur/fast_blur.h"
#include "kernels/blur/gaussian_blur.h"
#include "platform/graphics/ParallelRows.h"

#include "kernels/blur_reference.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using namespace blur_reference;

namespace {

struct BoxCase {
    int width, height, radius_y, radius_x;
};

// Shapes down to 1 x 1, radii from 0 to past the image's size.
const BoxCase kBoxCases[] = {
    {1, 1, 0, 0}, {1, 1, 3, 5}, {1, 9, 2, 0}, {9, 1, 0, 2},  {9, 1, 12, 12}, {7, 5, 0, 0},
    {7, 5, 1, 1}, {7, 5, 2, 1}, {7, 5, 1, 3}, {7, 5, 8, 10}, {13, 9, 4, 6},  {16, 11, 14, 19},
};

class BoxBlur : public ::testing::TestWithParam<BoxCase> {};

TEST_P(BoxBlur, FourByteFormsMatchTheDirectBoxAndKeepTheFourthByte) {
    const auto [w, h, ry, rx] = GetParam();
    const int src_rb = 4 * w + 8, dst_rb = 4 * w + 4; // padded rows
    const auto src = random_bytes(size_t(src_rb) * h, 11);
    struct Form {
        bool (*blur)(const uint8_t*, uint8_t*, int, int, int, int, int, int);
        int first, kept;
    };
    for (const Form f : {Form{fast_blur_argb, 1, 0}, Form{fast_blur_rgba, 0, 3}}) {
        std::vector<uint8_t> dst(size_t(dst_rb) * h, 0xA5);
        ASSERT_TRUE(f.blur(src.data(), dst.data(), w, h, src_rb, dst_rb, ry, rx));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const uint8_t* d = &dst[y * dst_rb + 4 * x];
                for (int c = 0; c < 3; ++c)
                    ASSERT_EQ(d[f.first + c], box_at(src.data() + f.first + c, w, h, src_rb, 4, ry, rx, x, y))
                        << "first " << f.first << " channel " << c << " at " << x << "," << y;
                ASSERT_EQ(d[f.kept], 0xA5);
            }
    }
}

TEST_P(BoxBlur, SingleChannelFormsMatchTheDirectBox) {
    const auto [w, h, ry, rx] = GetParam();
    const auto src = random_bytes(size_t(3 * w + 5) * h, 12);

    std::vector<uint8_t> mono(size_t(w + 2) * h, 0);
    EXPECT_TRUE(fast_blur_mono(src.data(), mono.data(), w, h, w + 3, w + 2, ry, rx));
    // Odd strides on both sides, and the caller's column sums.
    std::vector<uint8_t> strided(size_t(2 * w + 1) * h, 0);
    std::vector<uint32_t> sums(static_cast<size_t>(w));
    EXPECT_TRUE(
        fast_blur(src.data() + 2, strided.data() + 1, w, h, 3 * w + 5, 2 * w + 1, 3, 2, ry, rx, sums.data()));

    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            ASSERT_EQ(mono[y * (w + 2) + x], box_at(src.data(), w, h, w + 3, 1, ry, rx, x, y))
                << x << "," << y;
            ASSERT_EQ(strided[y * (2 * w + 1) + 1 + 2 * x],
                      box_at(src.data() + 2, w, h, 3 * w + 5, 3, ry, rx, x, y))
                << x << "," << y;
        }
}

INSTANTIATE_TEST_SUITE_P(Shapes, BoxBlur, ::testing::ValuesIn(kBoxCases), [](const auto& info) {
    const BoxCase& c = info.param;
    return std::to_string(c.width) + "x" + std::to_string(c.height) + "_ry" + std::to_string(c.radius_y) +
           "_rx" + std::to_string(c.radius_x);
});

TEST(BoxBlurValues, TruncatesTheAverage) {
    struct Case {
        std::vector<uint8_t> row;
        int x;
        uint8_t expected;
    };
    // The right end repeats 90: (30 + 90 + 90) / 3.
    const Case cases[] = {
        {{0, 30, 90}, 0, 10}, {{0, 30, 90}, 1, 40}, {{0, 30, 90}, 2, 70}, {{255, 255, 254}, 1, 254}};
    for (const auto& c : cases) {
        std::vector<uint8_t> dst(c.row.size());
        EXPECT_TRUE(fast_blur_mono(c.row.data(), dst.data(), int(c.row.size()), 1, 3, 3, 0, 1));
        EXPECT_EQ(dst[c.x], c.expected) << "x " << c.x;
    }
}

TEST(BoxBlurValues, FlatImagesStayFlatUpToHugeBoxes) {
    // Boxes of every size divide exactly: a flat image gives back its value, also where the
    // division can no longer use a reciprocal (single pixels and boxes of more than 268 million pixels).
    for (const int r : {0, 1, 7, 600, 8000, 8300, 30000}) {
        std::vector<uint8_t> src(5 * 4 * 4, 200), dst(src.size(), 0);
        EXPECT_TRUE(fast_blur_argb(src.data(), dst.data(), 5, 4, 20, 20, r, r));
        for (size_t i = 0; i < dst.size(); ++i) {
            if (i % 4 == 0) continue;
            ASSERT_EQ(dst[i], 200) << "radius " << r;
        }
    }
}

TEST(BoxBlurValues, HugeBoxOverTwoPixelsWeighsTheEdgeRepeats) {
    const int r = 10000;
    const std::vector<uint8_t> src = {0, 255};
    std::vector<uint8_t> dst(2);
    EXPECT_TRUE(fast_blur_mono(src.data(), dst.data(), 2, 1, 2, 2, r, r));
    // At x = 0 the left pixel covers r + 1 of the 2r + 1 columns, at x = 1 it covers r.
    EXPECT_EQ(dst[0], 255 * r / (2 * r + 1));
    EXPECT_EQ(dst[1], 255 * (r + 1) / (2 * r + 1));
}

TEST(BoxBlurThreads, ManyBandsGiveTheSameBytesAsTheDirectBox) {
    const int w = 96, h = 1400, ry = 3, rx = 2;
    const auto src = random_bytes(size_t(w) * 4 * h, 13);
    for (const unsigned threads : {1u, 3u, 8u}) {
        graphics::setParallelThreads(threads);
        std::vector<uint8_t> dst(src.size(), 0);
        EXPECT_TRUE(fast_blur_argb(src.data(), dst.data(), w, h, 4 * w, 4 * w, ry, rx));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                for (int c = 1; c <= 3; ++c)
                    ASSERT_EQ(dst[(y * w + x) * 4 + c], box_at(src.data() + c, w, h, 4 * w, 4, ry, rx, x, y))
                        << threads << " threads at " << x << "," << y;
    }
    graphics::setParallelThreads(0);
}

// Edge maps on low-contrast images, so that most values lie between the extremes.
struct EdgeCase {
    int width, height;
};
const EdgeCase kEdgeCases[] = {{1, 1}, {2, 3}, {3, 2}, {1, 6}, {6, 1}, {9, 7}, {40, 33}};

class EdgeMap : public ::testing::TestWithParam<EdgeCase> {};

TEST_P(EdgeMap, ArgbFormMatchesTheDirectSobelAndWritesByteZeroOnly) {
    const auto [w, h] = GetParam();
    const int rb = 4 * w + 4;
    const auto src = random_bytes(size_t(rb) * h, 21, 40);
    std::vector<uint8_t> dst(src.size(), 0x5A);
    EXPECT_TRUE(edges_detection_argb_to_alpha_channel(src.data(), dst.data(), w, h, rb));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint8_t* d = &dst[y * rb + 4 * x];
            ASSERT_EQ(d[0], edge_argb(src.data(), w, h, rb, x, y)) << x << "," << y;
            ASSERT_EQ(d[1], 0x5A);
            ASSERT_EQ(d[2], 0x5A);
            ASSERT_EQ(d[3], 0x5A);
        }
}

TEST_P(EdgeMap, RgbaFormWritesByteThreeInPlaceAndKeepsTheColour) {
    const auto [w, h] = GetParam();
    const int rb = 4 * w;
    const auto original = random_bytes(size_t(rb) * h, 22, 40);
    auto buffer = original;
    EXPECT_TRUE(edges_detection_rgba_to_alpha_channel(buffer.data(), w, h, rb));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const size_t i = size_t(y) * rb + 4 * x;
            ASSERT_EQ(buffer[i + 3], edge_rgba(original.data(), w, h, rb, x, y)) << x << "," << y;
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(buffer[i + c], original[i + c]);
        }
}

INSTANTIATE_TEST_SUITE_P(Shapes, EdgeMap, ::testing::ValuesIn(kEdgeCases), [](const auto& info) {
    return std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
});

TEST(EdgeMapValues, FlatIsWhiteAndAHardStepIsBlackOnBothSides) {
    const int w = 6, h = 4;
    std::vector<uint8_t> flat(w * h * 4, 77), step(w * h * 4, 0), dst(w * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 3; x < w; ++x)
            for (int c = 1; c <= 3; ++c)
                step[(y * w + x) * 4 + c] = 255;

    EXPECT_TRUE(edges_detection_argb_to_alpha_channel(flat.data(), dst.data(), w, h, 4 * w));
    for (int i = 0; i < w * h; ++i)
        EXPECT_EQ(dst[4 * i], 255);

    EXPECT_TRUE(edges_detection_argb_to_alpha_channel(step.data(), dst.data(), w, h, 4 * w));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            EXPECT_EQ(dst[(y * w + x) * 4], x == 2 || x == 3 ? 0 : 255) << x << "," << y;
}

// The soft mask expected from the direct forms: edges with the last column read as the one
// before it, then the box over them.
std::vector<uint8_t> expected_mask(const std::vector<uint8_t>& src, int w, int h, int rb, int ry, int rx,
                                   bool rgba) {
    std::vector<uint8_t> edges(size_t(rb) * h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            edges[y * rb + 4 * x] = rgba ? edge_rgba(src.data(), w, h, rb, x, y, true)
                                         : edge_argb(src.data(), w, h, rb, x, y, true);
    std::vector<uint8_t> mask(size_t(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            mask[y * w + x] = box_at(edges.data(), w, h, rb, 4, ry, rx, x, y);
    return mask;
}

TEST(SoftEdgeMask, ArgbMaskIsGreyOpaqueAndLeavesTheSourceAlone) {
    for (const auto [w, h] : {EdgeCase{1, 1}, EdgeCase{2, 5}, EdgeCase{23, 17}}) {
        const int src_rb = 4 * w + 8, dst_rb = 4 * w + 8, ry = 2, rx = 3;
        const auto original = random_bytes(size_t(src_rb) * h, 31, 40);
        auto src = original;
        std::vector<uint8_t> dst(size_t(dst_rb) * h, 0x11);
        EXPECT_TRUE(fast_blur_ed_argb(src.data(), dst.data(), w, h, src_rb, dst_rb, ry, rx));
        EXPECT_EQ(src, original);
        const auto mask = expected_mask(original, w, h, src_rb, ry, rx, false);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const uint8_t* d = &dst[y * dst_rb + 4 * x];
                ASSERT_EQ(d[0], 255);
                ASSERT_EQ(d[1], mask[y * w + x]) << w << "x" << h << " at " << x << "," << y;
                ASSERT_EQ(d[2], d[1]);
                ASSERT_EQ(d[3], d[1]);
            }
    }
}

TEST(SoftEdgeMask, RgbaMaskPutsEdgesInSourceByteThreeOnly) {
    const int w = 19, h = 14, rb = 4 * w, ry = 1, rx = 2;
    const auto original = random_bytes(size_t(rb) * h, 32, 40);
    auto src = original;
    std::vector<uint8_t> dst(size_t(rb) * h, 0x11);
    EXPECT_TRUE(fast_blur_ed_rgba(src.data(), dst.data(), w, h, rb, rb, ry, rx));
    std::vector<uint8_t> edges(size_t(rb) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const size_t i = size_t(y) * rb + 4 * x;
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(src[i + c], original[i + c]);
            ASSERT_EQ(src[i + 3], edge_rgba(original.data(), w, h, rb, x, y, true)) << x << "," << y;
        }
    const auto mask = expected_mask(original, w, h, rb, ry, rx, true);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint8_t* d = &dst[y * rb + 4 * x];
            ASSERT_EQ(d[0], mask[y * w + x]) << x << "," << y;
            ASSERT_EQ(d[1], d[0]);
            ASSERT_EQ(d[2], d[0]);
            ASSERT_EQ(d[3], 255);
        }
}

TEST(SoftEdgeMask, GaussianFormBlursTheEdgeMapWithTheTwoPassGaussian) {
    const int w = 21, h = 16, rb = 4 * w, r = 3;
    const auto original = random_bytes(size_t(rb) * h, 33, 40);
    auto src = original;
    float* table = gaussianMatrixForRadius(r);
    const float* kernel = table + (r - 1) * (2 * r + 1);
    std::vector<uint8_t> dst(size_t(rb) * h, 0x11);
    EXPECT_TRUE(
        fast_blur_ed_argb_gaussian(src.data(), dst.data(), w, h, rb, rb, 99, 99, kernel, 2 * r + 1, 1));
    EXPECT_EQ(src, original);

    std::vector<uint8_t> edges(size_t(rb) * h, 0), expected(size_t(rb) * h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            edges[y * rb + 4 * x] = edge_argb(original.data(), w, h, rb, x, y, true);
    gaussian(edges.data(), expected.data() + 1, w, h, kernel, 2 * r + 1, 4, 4, 1);
    for (int i = 0; i < w * h; ++i) {
        ASSERT_EQ(dst[4 * i], 255);
        ASSERT_EQ(dst[4 * i + 1], expected[4 * i + 1]) << "pixel " << i;
        ASSERT_EQ(dst[4 * i + 2], dst[4 * i + 1]);
        ASSERT_EQ(dst[4 * i + 3], dst[4 * i + 1]);
    }
    std::free(table);
}

} // namespace
