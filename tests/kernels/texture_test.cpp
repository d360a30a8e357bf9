#include "kernels/Texture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

namespace {

struct TexDeleter {
    void operator()(texture_t* t) const { tex_free(t); }
};
using Tex = std::unique_ptr<texture_t, TexDeleter>;

// A w x h texture whose pixel (x, y) is pixel(x, y).
template <class F> Tex make_tex(int w, int h, F pixel) {
    Tex tex(tex_create_empty(w, h, 4));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::array<uint8_t, 4> p = pixel(x, y);
            std::memcpy(tex->data + (size_t(y) * w + x) * 4, p.data(), 4);
        }
    return tex;
}

const uint8_t* texel(const texture_t* t, int x, int y) {
    return t->data + (size_t(y) * t->width + x) * 4;
}

uint32_t rgb(uint32_t c1, uint32_t c2, uint32_t c3, uint32_t top = 0) {
    return c1 | c2 << 8 | c3 << 16 | top << 24;
}

using Sampler = uint32_t (*)(const texture_t*, float, float);

struct SamplerCase {
    const char* name;
    Sampler sample;
    int first; // byte offset of the first channel read
    bool nearest;
};

const SamplerCase kBilinear[] = {
    {"bilinear", tex_get_pixel_bilinear, 1, false},
    {"bilinear_argb", tex_get_pixel_bilinear_argb, 1, false},
    {"bilinear_rgba", tex_get_pixel_bilinear_rgba, 0, false},
};
const SamplerCase kAll[] = {
    {"nearest", tex_get_pixel_nearest, 1, true},
    {"nearest_rgba", tex_get_pixel_nearest_rgba, 0, true},
    {"bilinear", tex_get_pixel_bilinear, 1, false},
    {"bilinear_argb", tex_get_pixel_bilinear_argb, 1, false},
    {"bilinear_rgba", tex_get_pixel_bilinear_rgba, 0, false},
};

// Puts three channel values at the sampler's offsets; the remaining byte is noise that must not
// leak into the result.
std::array<uint8_t, 4> channels(int first, uint8_t c1, uint8_t c2, uint8_t c3) {
    std::array<uint8_t, 4> p{};
    p.fill(first == 1 ? 99 : 77);
    p[first] = c1;
    p[first + 1] = c2;
    p[first + 2] = c3;
    return p;
}

} // namespace

TEST(TextureSampler, BilinearAlongOneRowExtrapolatesAndClampsAtTheFarEdge) {
    // Two identical rows; channel values per column.
    const uint8_t c1[] = {10, 20, 100, 200};
    const uint8_t c2[] = {0, 0, 100, 10};
    struct Row {
        float u;
        uint32_t expected;
    };
    const Row rows[] = {
        {0.0f, rgb(10, 0, 50)},     {0.375f, rgb(60, 50, 50)}, // fx = 1.5
        {0.5f, rgb(100, 100, 50)},                             // exactly on column 2
        {0.875f, rgb(250, 0, 50)},  // weight 1.5 on the last column; channel 2 gives -35
        {0.9375f, rgb(255, 0, 50)}, // 275 clamps rather than wrapping to 19
    };
    for (const SamplerCase& s : kBilinear) {
        Tex tex = make_tex(4, 2, [&](int x, int) { return channels(s.first, c1[x], c2[x], 50); });
        for (const Row& r : rows)
            for (float v : {0.0f, 0.25f, 0.5f})
                EXPECT_EQ(s.sample(tex.get(), r.u, v), r.expected) << s.name << " u=" << r.u << " v=" << v;
    }
    // At u = 1 only the clamping sampler stays on the last column: 300 clamps, -80 clamps.
    Tex tex = make_tex(4, 2, [&](int x, int) { return channels(1, c1[x], c2[x], 50); });
    EXPECT_EQ(tex_get_pixel_bilinear(tex.get(), 1.0f, 0.0f), rgb(255, 0, 50));
}

TEST(TextureSampler, BilinearWeighsRowsAndColumnsSeparately) {
    // Channel 1: (0, 100) over (200, 40).
    const uint8_t v[2][2] = {{0, 100}, {200, 40}};
    Tex tex = make_tex(2, 2, [&](int x, int y) { return channels(1, v[y][x], 0, 0); });
    struct Row {
        float u, v;
        uint32_t c1;
    };
    const Row rows[] = {
        {0.25f, 0.25f, 85}, {0.5f, 0.0f, 100}, {0.0f, 0.5f, 200},
        {0.5f, 0.5f, 40},   {0.0f, 1.0f, 255}, // 0 x -1 + 200 x 2
    };
    for (const Row& r : rows)
        EXPECT_EQ(tex_get_pixel_bilinear(tex.get(), r.u, r.v), rgb(r.c1, 0, 0))
            << "u=" << r.u << " v=" << r.v;
}

TEST(TextureSampler, WrappingSamplersRepeatTheTextureAndTheClampingOneDoesNot) {
    Tex argb = make_tex(5, 3, [](int x, int y) {
        return std::array<uint8_t, 4>{uint8_t(x * 50 + y), uint8_t(x * 40 + y * 30),
                                      uint8_t(200 - x * 30 - y * 20), uint8_t(x * y * 20 + 5)};
    });
    const texture_t* t = argb.get();
    for (Sampler wrapping : {tex_get_pixel_bilinear_argb, tex_get_pixel_bilinear_rgba}) {
        EXPECT_EQ(wrapping(t, 1.25f, 0.3f), wrapping(t, 0.25f, 0.3f));
        EXPECT_EQ(wrapping(t, 3.5f, 0.3f), wrapping(t, 0.5f, 0.3f));
        EXPECT_EQ(wrapping(t, 0.6f, 2.75f), wrapping(t, 0.6f, 0.75f));
        EXPECT_EQ(wrapping(t, 1.0f, 1.0f), wrapping(t, 0.0f, 0.0f));
        EXPECT_EQ(wrapping(t, -0.25f, 0.3f), wrapping(t, 0.0f, 0.3f)); // negatives clamp
    }
    EXPECT_EQ(tex_get_pixel_bilinear(t, 1.25f, 0.3f), tex_get_pixel_bilinear(t, 1.0f, 0.3f));
    EXPECT_EQ(tex_get_pixel_bilinear(t, 0.4f, -3.0f), tex_get_pixel_bilinear(t, 0.4f, 0.0f));
    // `_rgba` reads bytes 0-2, `_argb` bytes 1-3 of the same texels.
    EXPECT_EQ(tex_get_pixel_bilinear_rgba(t, 0.0f, 0.0f), rgb(0, 0, 200));
    EXPECT_EQ(tex_get_pixel_bilinear_argb(t, 0.0f, 0.0f), rgb(0, 200, 5));
}

TEST(TextureSampler, NonFiniteAndHugeCoordinatesAnswerWithoutHanging) {
    Tex tex = make_tex(3, 3, [](int x, int y) { return channels(1, uint8_t(x * 80), uint8_t(y * 80), 9); });
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (const SamplerCase& s : kAll) {
        const uint32_t origin = s.sample(tex.get(), 0.0f, 0.0f);
        EXPECT_EQ(s.sample(tex.get(), nan, nan), origin) << s.name;
        EXPECT_EQ(s.sample(tex.get(), -inf, -1e30f), origin) << s.name;
    }
    // Huge values are whole numbers: they tile onto 0.
    EXPECT_EQ(tex_get_pixel_bilinear_rgba(tex.get(), 1e30f, 3e9f),
              tex_get_pixel_bilinear_rgba(tex.get(), 0.0f, 0.0f));
    EXPECT_EQ(tex_get_pixel_bilinear_argb(tex.get(), inf, 0.0f),
              tex_get_pixel_bilinear_argb(tex.get(), 0.0f, 0.0f));
}

TEST(TextureSampler, NearestPicksTheFlooredTexelAndStaysInsideAtTheFarEdge) {
    Tex tex = make_tex(4, 2, [](int x, int y) {
        return std::array<uint8_t, 4>{uint8_t(10 + x), uint8_t(20 + x), uint8_t(30 + y), uint8_t(40 + y)};
    });
    struct Row {
        float u, v;
        int x, y;
    };
    const Row rows[] = {{0.0f, 0.0f, 0, 0}, {0.49f, 0.49f, 1, 0}, {0.5f, 0.5f, 2, 1},
                        {1.0f, 1.0f, 3, 1}, {2.0f, 0.2f, 3, 0},   {-1.0f, 0.7f, 0, 1}};
    for (const Row& r : rows) {
        const uint8_t* p = texel(tex.get(), r.x, r.y);
        EXPECT_EQ(tex_get_pixel_nearest(tex.get(), r.u, r.v), rgb(p[1], p[2], p[3], 255))
            << r.u << "," << r.v;
        EXPECT_EQ(tex_get_pixel_nearest_rgba(tex.get(), r.u, r.v), rgb(p[0], p[1], p[2], 255))
            << r.u << "," << r.v;
    }
}

TEST(TextureSampler, EmptyAndSingleTexelSidesAreReadInBounds) {
    Tex empty(tex_create_empty(0, 0, 4));
    Tex no_rows(tex_create_empty(5, 0, 4));
    for (const SamplerCase& s : kAll)
        for (float u : {0.0f, 0.5f, 1.0f, 1.5f}) {
            EXPECT_EQ(s.sample(empty.get(), u, u), 0u) << s.name;
            EXPECT_EQ(s.sample(no_rows.get(), u, 0.5f), 0u) << s.name;
        }

    for (const SamplerCase& s : kAll) {
        const uint32_t top = s.nearest ? 255 : 0;
        Tex single = make_tex(1, 1, [&](int, int) { return channels(s.first, 200, 30, 255); });
        // A row of three texels and a column of three: the single side is never extrapolated.
        Tex row = make_tex(3, 1, [&](int x, int) { return channels(s.first, uint8_t(x * 90), 7, 0); });
        Tex column = make_tex(1, 3, [&](int, int y) { return channels(s.first, uint8_t(y * 90), 7, 0); });
        for (float t : {0.0f, 0.3f, 0.5f, 1.0f, 1.7f}) {
            EXPECT_EQ(s.sample(single.get(), t, 1.0f - t), rgb(200, 30, 255, top)) << s.name;
            EXPECT_EQ(s.sample(row.get(), 0.5f, t), rgb(s.nearest ? 90 : 135, 7, 0, top))
                << s.name << " v=" << t;
            EXPECT_EQ(s.sample(column.get(), t, 0.5f), rgb(s.nearest ? 90 : 135, 7, 0, top))
                << s.name << " u=" << t;
        }
    }
}

TEST(TextureCreate, CopyHoldsTheSourceBytes) {
    std::vector<uint8_t> src(3 * 2 * 4);
    for (size_t k = 0; k < src.size(); ++k)
        src[k] = uint8_t(k * 7 + 1);
    Tex tex(tex_create_copy(3, 2, src.data(), 4));
    ASSERT_EQ(tex->width, 3);
    ASSERT_EQ(tex->height, 2);
    EXPECT_EQ(tex->bytes_per_pixel, 4);
    EXPECT_EQ(std::memcmp(tex->data, src.data(), src.size()), 0);
}

namespace {
// Source pixel (x, y) = (x, y, x + y, 255 - x).
std::vector<uint8_t> coordinate_image(int w, int h) {
    std::vector<uint8_t> src(size_t(w) * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &src[(size_t(y) * w + x) * 4];
            p[0] = uint8_t(x), p[1] = uint8_t(y), p[2] = uint8_t(x + y), p[3] = uint8_t(255 - x);
        }
    return src;
}
} // namespace

TEST(TextureCreate, ScaleBelowTenTexelsSamplesTheWholeSource) {
    const std::vector<uint8_t> src = coordinate_image(200, 100);
    Tex tex(tex_create(200, 100, src.data(), 4, 0.001f, 0.001f));
    ASSERT_EQ(tex->width, 10);
    ASSERT_EQ(tex->height, 10);
    for (int j = 0; j < 10; ++j)
        for (int i = 0; i < 10; ++i) {
            const uint8_t* p = texel(tex.get(), i, j);
            EXPECT_EQ(p[0], 20 * i) << i << "," << j;
            EXPECT_EQ(p[1], 10 * j) << i << "," << j;
            EXPECT_EQ(p[2], uint8_t(20 * i + 10 * j));
            EXPECT_EQ(p[3], 255 - 20 * i);
        }
}

TEST(TextureCreate, SizesAndSourceIndicesUseSinglePrecisionDivideThenMultiply) {
    // 0.7f x 100 rounds to 70 in single precision (69 in double).
    const std::vector<uint8_t> wide = coordinate_image(100, 20);
    Tex scaled(tex_create(100, 20, wide.data(), 4, 0.7f, 1.0f));
    EXPECT_EQ(scaled->width, 70);
    EXPECT_EQ(scaled->height, 20);

    // At scale 1 on 37 columns, i / 37 x 37 falls just below i for some i: those repeat their
    // left neighbour.
    const std::vector<uint8_t> src = coordinate_image(37, 10);
    Tex same(tex_create(37, 10, src.data(), 4, 1.0f, 1.0f));
    ASSERT_EQ(same->width, 37);
    const std::pair<int, int> columns[] = {{0, 0}, {2, 2},   {3, 2},   {4, 4},
                                           {6, 5}, {12, 11}, {24, 23}, {36, 36}};
    for (auto [i, source] : columns)
        EXPECT_EQ(texel(same.get(), i, 5)[0], source) << "column " << i;
}

TEST(TextureCreate, InverseInvertsAllFourBytes) {
    const std::vector<uint8_t> src = coordinate_image(12, 11);
    Tex tex(tex_create_inv(12, 11, src.data(), 4, 1.0f, 1.0f));
    ASSERT_EQ(tex->width, 12);
    ASSERT_EQ(tex->height, 11);
    for (size_t k = 0; k < src.size(); ++k)
        ASSERT_EQ(tex->data[k], 255 - src[k]) << k;
}

TEST(TextureCreate, EmptySourceGivesZeros) {
    Tex tex(tex_create(0, 0, nullptr, 4, 1.0f, 1.0f));
    ASSERT_EQ(tex->width, 10);
    ASSERT_EQ(tex->height, 10);
    for (int k = 0; k < 400; ++k)
        ASSERT_EQ(tex->data[k], 0);
}

TEST(TextureCreate, ContrastAndGrey) {
    struct Row {
        const char* name;
        int grey;
        float contrast;
        std::array<uint8_t, 4> in, out;
    };
    const Row rows[] = {
        {"grey mean 20 at contrast 2 clamps to 0", 1, 2.0f, {5, 10, 20, 31}, {5, 0, 0, 0}},
        {"grey keeps the integer mean", 1, 1.0f, {5, 10, 20, 31}, {5, 20, 20, 20}},
        {"colour clamps both ends", 0, 1.5f, {7, 200, 10, 250}, {7, 236, 0, 255}},
        // 10 x 0.7f + 128 is 134.99999988 in double (135 in single precision).
        {"colour in double precision", 0, 0.7f, {0, 138, 128, 118}, {0, 134, 128, 121}},
    };
    for (const Row& r : rows) {
        Tex tex(tex_create_ct_bw(1, 1, r.in.data(), 4, r.grey, 10.0f, 10.0f, r.contrast));
        ASSERT_EQ(tex->width, 10) << r.name;
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(texel(tex.get(), 9, 9)[k], r.out[k]) << r.name << " byte " << k;
    }
}

TEST(TextureBlur, PixelAveragesTheVisitedTexelsInsideTheTexture) {
    // Channel 1: 11 20 30 / 40 50 60 / 70 80 90; channel 2 twice that; channel 3 255 minus it.
    const uint8_t c1[3][3] = {{11, 20, 30}, {40, 50, 60}, {70, 80, 90}};
    Tex tex = make_tex(3, 3, [&](int x, int y) {
        const uint8_t c = c1[y][x];
        return std::array<uint8_t, 4>{1, c, uint8_t(2 * c), uint8_t(255 - c)};
    });
    struct Row {
        const char* name;
        int x, y, radius, step;
        uint32_t expected;
    };
    const Row rows[] = {
        {"2x2 block up-left, truncated", 1, 1, 1, 1, rgb(30, 60, 224, 255)},
        {"corner sees itself only", 0, 0, 1, 1, rgb(11, 22, 244, 255)},
        {"step 2 skips the middle", 2, 2, 2, 2, rgb(50, 100, 204, 255)},
        {"edge row", 1, 0, 1, 1, rgb(15, 31, 239, 255)},
        {"radius 0 answers the texel", 1, 2, 0, 1, rgb(80, 160, 175, 255)},
        {"step 0 runs as step 1", 1, 1, 1, 0, rgb(30, 60, 224, 255)},
        {"huge radius covers everything", 1, 1, 1 << 30, 1, rgb(50, 100, 204, 255)},
        {"far outside sees nothing", 10, -10, 2, 1, rgb(0, 0, 0, 255)},
    };
    for (const Row& r : rows)
        EXPECT_EQ(tex_blur_pixel(tex.get(), r.x, r.y, r.radius, r.step), r.expected) << r.name;
}

TEST(TextureBlur, ReplacesEveryTexelWithItsAverage) {
    const uint8_t c1[2][2] = {{10, 30}, {50, 71}};
    Tex tex = make_tex(2, 2, [&](int x, int y) { return channels(1, c1[y][x], 100, 200); });
    tex_blur(tex.get(), 1, 1);
    const uint8_t expected[2][2] = {{10, 20}, {30, 40}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) {
            const uint8_t* p = texel(tex.get(), x, y);
            EXPECT_EQ(p[0], 255);
            EXPECT_EQ(p[1], expected[y][x]) << x << "," << y;
            EXPECT_EQ(p[2], 100);
            EXPECT_EQ(p[3], 200);
        }
}

namespace {

// Clamp-to-edge box mean of channel byte k over (2r + 1) x (2r + 1), truncated.
uint8_t box_mean(const std::vector<std::array<uint8_t, 4>>& px, int w, int h, int x, int y, int r, int k) {
    int sum = 0;
    for (int j = y - r; j <= y + r; ++j)
        for (int i = x - r; i <= x + r; ++i)
            sum += px[size_t(std::clamp(j, 0, h - 1) * w + std::clamp(i, 0, w - 1))][size_t(k)];
    return uint8_t(sum / ((2 * r + 1) * (2 * r + 1)));
}

} // namespace

TEST(TextureBlurFast, BoxBlursTheColourBytesAndKeepsByteZero) {
    const int w = 7, h = 5;
    std::vector<std::array<uint8_t, 4>> px;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            px.push_back(
                {uint8_t(x * 30 + y), uint8_t(x * x * 5), uint8_t(y * 60), uint8_t((x * 37 + y * 11) % 256)});
    // A negative radius counts as 0; a radius past the image repeats its edges.
    for (int radius : {0, 1, 2, 9, -3}) {
        SCOPED_TRACE(radius);
        Tex tex = make_tex(w, h, [&](int x, int y) { return px[size_t(y * w + x)]; });
        ASSERT_TRUE(tex_blur_fast(tex.get(), radius));
        ASSERT_EQ(tex->width, w);
        ASSERT_EQ(tex->height, h);
        const int r = std::max(radius, 0);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const uint8_t* p = texel(tex.get(), x, y);
                EXPECT_EQ(p[0], px[size_t(y * w + x)][0]) << x << "," << y;
                for (int k = 1; k < 4; ++k)
                    EXPECT_EQ(p[k], box_mean(px, w, h, x, y, r, k)) << x << "," << y << " byte " << k;
            }
    }
    EXPECT_FALSE(tex_blur_fast(nullptr, 3)); // nothing to blur
}
