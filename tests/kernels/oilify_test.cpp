#include "kernels/paint/oilify.h"
#include "platform/graphics/ParallelRows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

using Image = std::vector<uint8_t>;

// The filter computed directly: all 64 classes gathered afresh for every pixel.
Image reference_oilify(const Image& src, int w, int h, float size) {
    const int r = std::max(int(size) / 2, 0);
    Image dst(src.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int count[64] = {};
            int sum[64][4] = {};
            for (int v = std::max(y - r, 0); v <= std::min(y + r, h - 1); ++v)
                for (int u = std::max(x - r, 0); u <= std::min(x + r, w - 1); ++u) {
                    if ((u - x) * (u - x) + (v - y) * (v - y) > r * r) continue;
                    const uint8_t* p = &src[(size_t(v) * w + u) * 4];
                    const int bin = int(0.2126 * p[1] + 0.7152 * p[2] + 0.0722 * p[3]) >> 2;
                    ++count[bin];
                    for (int c = 0; c < 4; ++c)
                        sum[bin][c] += p[c];
                }
            const int most = std::max(*std::max_element(count, count + 64), 1);
            float total = 0.000001f;
            float acc[4] = {};
            for (int k = 0; k < 64; ++k) {
                const float weight = powf(float(count[k]) / float(most), 8.0f);
                total += weight;
                if (count[k] > 0)
                    for (int c = 0; c < 4; ++c)
                        acc[c] += float(sum[k][c]) * weight / float(count[k]);
            }
            for (int c = 0; c < 4; ++c)
                dst[(size_t(y) * w + x) * 4 + c] =
                    uint8_t(std::clamp(std::trunc(acc[c] / total), 0.0f, 255.0f));
        }
    return dst;
}

Image random_image(int w, int h, unsigned seed) {
    std::mt19937 rng(seed);
    Image img(size_t(w) * h * 4);
    // Few distinct levels, so that discs hold classes of several pixels.
    for (auto& b : img)
        b = uint8_t((rng() % 6) * 50);
    return img;
}

TEST(Oilify, MatchesDirectComputation) {
    const int w = 23, h = 17;
    const Image src = random_image(w, h, 7);
    for (float size : {0.0f, 1.9f, 3.0f, 4.0f, 7.5f, 10.0f, 25.0f, 100.0f}) {
        const Image before = src;
        Image dst(src.size(), 0xAB);
        EXPECT_TRUE(oilify(src.data(), dst.data(), w, h, size));
        ASSERT_EQ(dst, reference_oilify(src, w, h, size)) << "size " << size;
        EXPECT_EQ(src, before);
    }
}

// Rows are shared among threads in bands; the bytes must not depend on how many.
TEST(Oilify, SameBytesOnAnyNumberOfThreads) {
    const int w = 400, h = 300;
    const Image src = random_image(w, h, 11);
    for (float size : {3.0f, 10.0f}) {
        const Image expected = reference_oilify(src, w, h, size);
        for (const unsigned threads : {1u, 2u, 3u, 8u}) {
            graphics::setParallelThreads(threads);
            Image dst(src.size(), 0xAB);
            EXPECT_TRUE(oilify(src.data(), dst.data(), w, h, size));
            EXPECT_TRUE(dst == expected) << "size " << size << ", " << threads << " threads";
        }
    }
    graphics::setParallelThreads(0);
}

TEST(Oilify, FlatImageComesOutOneLevelDarker) {
    const int w = 12, h = 9;
    const uint8_t colour[4] = {255, 0, 128, 1};
    const uint8_t expected[4] = {254, 0, 127, 0};
    Image src(size_t(w) * h * 4);
    for (size_t i = 0; i < src.size(); ++i)
        src[i] = colour[i % 4];
    // Sizes below 2, negative or not a number use the pixel alone; huge ones the whole image.
    for (float size : {0.0f, 1.0f, -3.0f, NAN, 10.0f, 31.0f, 1e30f, INFINITY}) {
        Image dst(src.size());
        EXPECT_TRUE(oilify(src.data(), dst.data(), w, h, size));
        for (size_t i = 0; i < dst.size(); ++i)
            ASSERT_EQ(dst[i], expected[i % 4]) << "size " << size << " byte " << i;
    }
}

TEST(Oilify, EdgeBetweenTwoHalvesStaysSharp) {
    const int w = 30, h = 20, split = 15;
    Image src(size_t(w) * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            std::fill_n(&src[(size_t(y) * w + x) * 4], 4, uint8_t(x < split ? 0 : 200));
    Image dst(src.size());
    EXPECT_TRUE(oilify(src.data(), dst.data(), w, h, 10.0f)); // radius 5
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint8_t v = dst[(size_t(y) * w + x) * 4 + 1];
            if (x <= split - 5) {
                EXPECT_EQ(v, 0) << x << "," << y;
            } else if (x >= split + 5) {
                EXPECT_EQ(v, 199) << x << "," << y;
            } else if (x == split - 1) {
                // Beside the edge the minority weighs (n_min / n_max)^8, about a tenth here,
                // where a mean would be some 86 levels away.
                EXPECT_LT(v, 40) << x << "," << y;
            } else if (x == split) {
                EXPECT_GT(v, 160) << x << "," << y;
            }
        }
}

TEST(Oilify, InvalidArgumentsLeaveDestinationAlone) {
    Image src(16, 100), dst(16, 7);
    EXPECT_FALSE(oilify(nullptr, dst.data(), 2, 2, 4.0f));
    EXPECT_FALSE(oilify(src.data(), nullptr, 2, 2, 4.0f));
    EXPECT_FALSE(oilify(src.data(), dst.data(), 0, 2, 4.0f));
    EXPECT_FALSE(oilify(src.data(), dst.data(), 2, -2, 4.0f));
    EXPECT_EQ(dst, Image(16, 7));
}

} // namespace
