#include "kernels/blur/special_blur.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <random>
#include <vector>

namespace {

constexpr uint8_t kSentinel = 0xAB;

struct Layout {
    int c0, c1, c2, other; // colour byte offsets and the byte left alone
};
constexpr Layout kArgb{1, 2, 3, 0};
constexpr Layout kRgba{0, 1, 2, 3};

struct Buffers {
    int width, height, src_rb, dst_rb;
    std::vector<uint8_t> src, dst;
};

// Random pixels; rows padded so that strides matter; dst filled with a sentinel.
Buffers makeBuffers(int width, int height, std::mt19937& rng) {
    Buffers b{width, height, 4 * width + 8, 4 * width + 4, {}, {}};
    b.src.resize(size_t(b.src_rb) * size_t(height));
    for (auto& v : b.src)
        v = uint8_t(rng());
    b.dst.assign(size_t(b.dst_rb) * size_t(height), kSentinel);
    return b;
}

using Radius = std::function<int(int x, int y)>;

// Direct average: columns x +- r(x, y), each over its own rows y +- r(c, y), clipped.
std::vector<uint8_t> reference(const Buffers& b, const Layout& l, const Radius& radius) {
    std::vector<uint8_t> out(b.dst.size(), kSentinel);
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x) {
            const int r = radius(x, y);
            uint64_t s0 = 0, s1 = 0, s2 = 0, n = 0;
            for (int c = std::max(x - r, 0); c <= std::min(x + r, b.width - 1); ++c) {
                const int rc = radius(c, y);
                for (int row = std::max(y - rc, 0); row <= std::min(y + rc, b.height - 1); ++row) {
                    const uint8_t* p = &b.src[size_t(row) * size_t(b.src_rb) + 4 * size_t(c)];
                    s0 += p[l.c0];
                    s1 += p[l.c1];
                    s2 += p[l.c2];
                    ++n;
                }
            }
            uint8_t* q = &out[size_t(y) * size_t(b.dst_rb) + 4 * size_t(x)];
            q[l.c0] = uint8_t(s0 / n);
            q[l.c1] = uint8_t(s1 / n);
            q[l.c2] = uint8_t(s2 / n);
        }
    return out;
}

// Radius entry for a distance d from the centre: 0 inside the sharp zone, then growing
// linearly (a fifth as fast in the radial form) up to limit.
int entry(int d, int width, int limit, int sharp, bool radial) {
    if (sharp >= d) return 0;
    const float half_w = float(std::max(1, width / 2));
    float r = float(d - sharp) * float(limit) / half_w;
    if (radial) r *= 0.2f;
    return std::min(int(std::floor(r)), limit);
}

Radius radialRadius(int width, int cx, int cy, int limit, int sharp) {
    return [=](int x, int y) {
        return (entry(std::abs(x - cx), width, limit, sharp, true) +
                entry(std::abs(y - cy), width, limit, sharp, true)) >>
               1;
    };
}

Radius verticalRadius(int width, int cy, int limit, int sharp) {
    return [=](int, int y) { return entry(std::abs(y - cy), width, limit, sharp, false) >> 1; };
}

void radial(const Layout& l, Buffers& b, int cx, int cy, int limit, int sharp) {
    auto fn = l.c0 == 1 ? blur_radial_argb : blur_radial_rgba;
    fn(b.src.data(), b.dst.data(), b.width, b.height, b.src_rb, b.dst_rb, cx, cy, limit, sharp);
}

void vertical(const Layout& l, Buffers& b, int cy, int limit, int sharp) {
    auto fn = l.c0 == 1 ? blur_vertical_argb : blur_vertical_rgba;
    fn(b.src.data(), b.dst.data(), b.width, b.height, b.src_rb, b.dst_rb, cy, limit, sharp);
}

TEST(SpecialBlur, MatchesDirectAverageOnRandomImages) {
    std::mt19937 rng(5);
    for (int trial = 0; trial < 120; ++trial) {
        const int w = 1 + int(rng() % 40), h = 1 + int(rng() % 30);
        const int cx = int(rng() % unsigned(w + 10)) - 5, cy = int(rng() % unsigned(h + 10)) - 5;
        const int limit = int(rng() % 25), sharp = int(rng() % 12);
        const Layout& l = trial % 2 ? kArgb : kRgba;
        SCOPED_TRACE(testing::Message() << w << "x" << h << " centre " << cx << "," << cy << " limit "
                                        << limit << " sharp " << sharp << (trial % 2 ? " argb" : " rgba"));
        Buffers b = makeBuffers(w, h, rng);
        radial(l, b, cx, cy, limit, sharp);
        EXPECT_EQ(b.dst, reference(b, l, radialRadius(w, cx, cy, limit, sharp))) << "radial";
        b.dst.assign(b.dst.size(), kSentinel);
        vertical(l, b, cy, limit, sharp);
        EXPECT_EQ(b.dst, reference(b, l, verticalRadius(w, cy, limit, sharp))) << "vertical";
    }
}

TEST(SpecialBlur, VerticalRadiiFromRowDistance) {
    // Row entries 0, 2, 4, 4, 4 halve to radii 0, 1, 2, 2, 2.
    std::mt19937 rng(9);
    Buffers b = makeBuffers(4, 5, rng);
    vertical(kArgb, b, 0, 4, 0);
    const int radii[] = {0, 1, 2, 2, 2};
    EXPECT_EQ(b.dst, reference(b, kArgb, [&](int, int y) { return radii[y]; }));
    for (int x = 0; x < 4; ++x)
        for (int k = 1; k < 4; ++k)
            EXPECT_EQ(b.dst[4 * size_t(x) + size_t(k)], b.src[4 * size_t(x) + size_t(k)]);
}

TEST(SpecialBlur, SharpZoneCoveringTheImageCopiesColours) {
    std::mt19937 rng(3);
    for (const Layout* l : {&kArgb, &kRgba}) {
        Buffers b = makeBuffers(17, 11, rng);
        const int sharp = int(std::ceil(std::hypot(17, 11) / 2));
        radial(*l, b, 8, 5, 30, sharp);
        auto expected = b.dst;
        for (int y = 0; y < 11; ++y)
            for (int x = 0; x < 17; ++x)
                for (int c : {l->c0, l->c1, l->c2})
                    expected[size_t(y) * size_t(b.dst_rb) + 4 * size_t(x) + size_t(c)] =
                        b.src[size_t(y) * size_t(b.src_rb) + 4 * size_t(x) + size_t(c)];
        EXPECT_EQ(b.dst, expected);
        for (int y = 0; y < 11; ++y)
            EXPECT_EQ(b.dst[size_t(y) * size_t(b.dst_rb) + size_t(l->other)], kSentinel);
    }
}

TEST(SpecialBlur, RadiiAboveByteRangeKeepGrowing) {
    // A 6000-pixel-wide photo with a large limit: column entries far past 255 at the edges.
    std::mt19937 rng(1);
    const int w = 6000, h = 2, cx = 3000, limit = 2000, sharp = 100;
    Buffers b = makeBuffers(w, h, rng);
    const Radius r = radialRadius(w, cx, 0, limit, sharp);
    ASSERT_GT(entry(w - 1 - cx, w, limit, sharp, true), 255);
    radial(kArgb, b, cx, 0, limit, sharp);
    EXPECT_EQ(b.dst, reference(b, kArgb, r));
    for (int k = 1; k < 4; ++k)
        EXPECT_EQ(b.dst[4 * size_t(cx) + size_t(k)], b.src[4 * size_t(cx) + size_t(k)]);

    // Vertical form with a limit of 300: entries reach 300 on the far rows.
    Buffers v = makeBuffers(8, 700, rng);
    vertical(kRgba, v, 0, 300, 0);
    EXPECT_EQ(v.dst, reference(v, kRgba, verticalRadius(8, 0, 300, 0)));
}

TEST(SpecialBlur, SinglePixelAndSingleColumnImages) {
    std::mt19937 rng(2);
    for (auto [w, h] : {std::pair{1, 1}, {1, 9}, {9, 1}}) {
        SCOPED_TRACE(testing::Message() << w << "x" << h);
        Buffers b = makeBuffers(w, h, rng);
        radial(kArgb, b, 0, 0, 5, 0);
        EXPECT_EQ(b.dst, reference(b, kArgb, radialRadius(w, 0, 0, 5, 0)));
    }
}

} // namespace
