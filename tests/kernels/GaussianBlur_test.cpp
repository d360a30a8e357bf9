#include "kernels/blur/GaussianBlur.h"
#include "kernels/blur/gaussian_blur.h"

#include "kernels/blur_reference.h"
#include "platform/graphics/ParallelRows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using namespace blur_reference;

namespace {

struct Texture {
    explicit Texture(int w, int h, uint8_t fill) : t(tex_create_empty(w, h, 4)) {
        std::fill(t->data, t->data + size_t(w) * h * 4, fill);
    }
    ~Texture() { tex_free(t); }
    texture_t* t;
};

// Direct forms of the two passes: single-precision sums, rows past the bottom read height - step,
// columns past the right read the last visited column.
void first_pass(const uint8_t* data, texture_t* tex, int r, int step, int X, int Y) {
    r = std::clamp(r, 1, 100);
    std::unique_ptr<float, decltype(&std::free)> table(gaussianMatrixForRadius(r), &std::free);
    const float* k = table.get() + (r - 1) * (2 * r + 1);
    for (int c = 1; c <= 3; ++c) {
        float sum = 0;
        for (int j = 0; j <= 2 * r; ++j) {
            int row = Y + (j - r) * step;
            if (row < 0) row = 0;
            if (row >= tex->height) row = tex->height - step;
            sum += data[(row * tex->width + X) * 4 + c] * k[j];
        }
        tex->data[(Y * tex->width + X) * 4 + c] = uint8_t(int(sum));
    }
}

GaussianBlurColor second_pass(const texture_t* tex, int r, int step, int X, int Y) {
    r = std::clamp(r, 1, 100);
    std::unique_ptr<float, decltype(&std::free)> table(gaussianMatrixForRadius(r), &std::free);
    const float* k = table.get() + (r - 1) * (2 * r + 1);
    float out[3];
    for (int c = 1; c <= 3; ++c) {
        float sum = 0;
        for (int j = 0; j <= 2 * r; ++j) {
            int col = X + (j - r) * step;
            if (col < 0) col = 0;
            if (col >= tex->width) col = (tex->width - 1) / step * step;
            sum += tex->data[(Y * tex->width + col) * 4 + c] * k[j];
        }
        out[c - 1] = float((int(sum) & 0xFF) / 255.0);
    }
    return {out[0], out[1], out[2]};
}

bool same(const GaussianBlurColor& a, const GaussianBlurColor& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

TEST(GaussianBlurShared, IsOneInstanceHoldingTheTableToRadiusHundred) {
    GaussianBlur* shared = GaussianBlur::sharedGaussianBlur();
    EXPECT_EQ(shared, GaussianBlur::sharedGaussianBlur());
    std::unique_ptr<float, decltype(&std::free)> table(gaussianMatrixForRadius(100), &std::free);
    const float* row1 = shared->gaussianMatrixForRadius(1);
    const float* row100 = shared->gaussianMatrixForRadius(100);
    EXPECT_EQ(row100, row1 + 99 * 201); // one table, no rebuild
    EXPECT_TRUE(std::equal(row100, row100 + 201, table.get() + 99 * 201));
}

struct PassCase {
    int width, height, radius, step;
};

const PassCase kPassCases[] = {{9, 8, 1, 1},  {9, 8, 3, 1},   {13, 10, 2, 2},
                               {11, 7, 2, 5}, {16, 12, 4, 3}, {5, 5, 12, 1}};

class GaussianBlurPasses : public ::testing::TestWithParam<PassCase> {};

TEST_P(GaussianBlurPasses, MatchTheDirectPassesOverTheVisitedGrid) {
    const auto [w, h, r, step] = GetParam();
    const auto data = random_bytes(size_t(w) * h * 4, 51);
    Texture got(w, h, 0xAB), want(w, h, 0xAB);
    GaussianBlur blur;
    for (int y = 0; y < h; y += step)
        for (int x = 0; x < w; x += step) {
            blur.gaussianBlurFirstPassForData(data.data(), got.t, r, step, x, y);
            first_pass(data.data(), want.t, r, step, x, y);
        }
    ASSERT_TRUE(std::equal(got.t->data, got.t->data + w * h * 4, want.t->data));
    for (int y = 0; y < h; y += step)
        for (int x = 0; x < w; x += step)
            ASSERT_TRUE(same(blur.gaussianBlurSecondPassForTexture(got.t, r, step, x, y),
                             second_pass(want.t, r, step, x, y)))
                << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(Shapes, GaussianBlurPasses, ::testing::ValuesIn(kPassCases), [](const auto& info) {
    const PassCase& c = info.param;
    return std::to_string(c.width) + "x" + std::to_string(c.height) + "_r" + std::to_string(c.radius) +
           "_step" + std::to_string(c.step);
});

TEST(GaussianBlurPassValues, RadiiAreClampedToOneAndHundred) {
    const int w = 7, h = 6;
    const auto data = random_bytes(size_t(w) * h * 4, 52);
    GaussianBlur* blur = GaussianBlur::sharedGaussianBlur();
    for (const auto& [asked, meant] : {std::pair{0, 1}, std::pair{-3, 1}, std::pair{500, 100}}) {
        Texture a(w, h, 0), b(w, h, 0);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                blur->gaussianBlurFirstPassForData(data.data(), a.t, asked, 1, x, y);
                blur->gaussianBlurFirstPassForData(data.data(), b.t, meant, 1, x, y);
            }
        ASSERT_TRUE(std::equal(a.t->data, a.t->data + w * h * 4, b.t->data)) << asked;
        for (int x = 0; x < w; ++x)
            EXPECT_TRUE(same(blur->gaussianBlurSecondPassForTexture(a.t, asked, 1, x, 2),
                             blur->gaussianBlurSecondPassForTexture(a.t, meant, 1, x, 2)));
    }
}

TEST(GaussianBlurPassValues, PreviewStepNeverReadsTexelsTheFirstPassSkipped) {
    // 11 wide with step 5 visits columns 0, 5 and 10; a black image must stay black, whatever the
    // unvisited texels hold.
    const int w = 11, h = 6, step = 5;
    const std::vector<uint8_t> black(size_t(w) * h * 4, 0);
    Texture tex(w, h, 0xAB);
    GaussianBlur* blur = GaussianBlur::sharedGaussianBlur();
    for (int y = 0; y < h; y += step)
        for (int x = 0; x < w; x += step)
            blur->gaussianBlurFirstPassForData(black.data(), tex.t, 2, step, x, y);
    const GaussianBlurColor c = blur->gaussianBlurSecondPassForTexture(tex.t, 2, step, 10, 0);
    EXPECT_EQ(c.red, 0.0f);
    EXPECT_EQ(c.green, 0.0f);
    EXPECT_EQ(c.blue, 0.0f);
}

TEST(GaussianBlurPassValues, FlatGreyLosesLevelsAtSomeRadii) {
    const int w = 120, h = 110;
    const std::vector<uint8_t> grey(size_t(w) * h * 4, 200);
    GaussianBlur* blur = GaussianBlur::sharedGaussianBlur();
    struct Case {
        int radius;
        float expected;
    };
    for (const Case c : {Case{1, 198}, Case{8, 200}, Case{12, 198}, Case{30, 200}, Case{49, 198}}) {
        Texture tex(w, h, 0);
        for (int x = 0; x < w; ++x)
            blur->gaussianBlurFirstPassForData(grey.data(), tex.t, c.radius, 1, x, 50);
        EXPECT_EQ(blur->gaussianBlurSecondPassForTexture(tex.t, c.radius, 1, 60, 50).red,
                  float(c.expected / 255.0))
            << "radius " << c.radius;
    }
}

} // namespace

class GaussianBlurBothPasses : public ::testing::TestWithParam<PassCase> {};

// The whole-grid form must give the per-texel passes' colours byte for byte, at any thread count,
// and leave texels off the grid alone.
TEST_P(GaussianBlurBothPasses, GiveThePerTexelColoursAtAnyThreadCount) {
    const auto [w, h, r, step] = GetParam();
    const auto data = random_bytes(size_t(w) * h * 4, 53);
    Texture perTexel(w, h, 0xAB);
    GaussianBlur* blur = GaussianBlur::sharedGaussianBlur();
    for (int y = 0; y < h; y += step)
        for (int x = 0; x < w; x += step)
            blur->gaussianBlurFirstPassForData(data.data(), perTexel.t, r, step, x, y);
    for (unsigned threads : {1u, 3u}) {
        SCOPED_TRACE(threads);
        graphics::setParallelThreads(threads);
        Texture whole(w, h, 0xAB);
        ASSERT_TRUE(blur->gaussianBlurBothPasses(data.data(), whole.t, r, step, step));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const uint8_t* t = whole.t->data + (y * w + x) * 4;
                if (x % step || y % step) {
                    ASSERT_TRUE(t[0] == 0xAB && t[1] == 0xAB && t[2] == 0xAB && t[3] == 0xAB)
                        << x << "," << y;
                    continue;
                }
                const GaussianBlurColor got{GaussianBlur::secondPassChannel(t[1]),
                                            GaussianBlur::secondPassChannel(t[2]),
                                            GaussianBlur::secondPassChannel(t[3])};
                ASSERT_TRUE(same(got, blur->gaussianBlurSecondPassForTexture(perTexel.t, r, step, x, y)))
                    << x << "," << y;
                ASSERT_EQ(t[0], 0xAB);
            }
    }
    graphics::setParallelThreads(0);
}

INSTANTIATE_TEST_SUITE_P(Shapes, GaussianBlurBothPasses,
                         ::testing::Values(PassCase{9, 8, 1, 1}, PassCase{13, 10, 2, 2},
                                           PassCase{11, 7, 2, 5}, PassCase{16, 12, 4, 3},
                                           PassCase{5, 5, 12, 1}, PassCase{40, 300, 7, 1},
                                           PassCase{301, 40, 7, 3}),
                         [](const auto& info) {
                             const PassCase& c = info.param;
                             return std::to_string(c.width) + "x" + std::to_string(c.height) + "_r" +
                                    std::to_string(c.radius) + "_step" + std::to_string(c.step);
                         });
