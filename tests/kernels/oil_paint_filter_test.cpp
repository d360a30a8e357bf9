#include "kernels/paint/oil_paint_filter.h"

#include "kernels/Random.h"
#include "kernels/blur/fast_blur.h"
#include "kernels/drawing/draw_image.h"
#include "platform/graphics/ParallelRows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <set>
#include <thread>
#include <vector>

namespace {

// A w x h ARGB buffer with rows of row_bytes.
struct Buffer {
    int width, height, row_bytes;
    std::vector<uint8_t> bytes;

    Buffer(int w, int h, int rb, uint8_t fill = 0)
        : width(w), height(h), row_bytes(rb), bytes(size_t(rb) * h, fill) {}
    Buffer(int w, int h) : Buffer(w, h, 4 * w) {}
    uint8_t* at(int x, int y) { return &bytes[size_t(y) * row_bytes + size_t(x) * 4]; }
    const uint8_t* at(int x, int y) const { return &bytes[size_t(y) * row_bytes + size_t(x) * 4]; }
};

// A brush of uniform coverage, or of coverage given per pixel.
struct Brush {
    Buffer pixels;
    template <class Coverage> Brush(int w, int h, Coverage coverage) : pixels(w, h) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                uint8_t* p = pixels.at(x, y);
                p[0] = 255;
                p[1] = p[2] = p[3] = coverage(x, y);
            }
    }
    image_t image() const { return {pixels.bytes.data(), pixels.width, pixels.height, pixels.row_bytes}; }
};

Brush solid_brush(int w, int h) {
    return Brush(w, h, [](int, int) { return uint8_t(0); });
}

// Coverage from full paint in the middle to none at the rim, like a soft stroke.
Brush soft_brush(int w, int h) {
    return Brush(w, h, [w, h](int x, int y) {
        const int dx = std::abs(2 * x - w + 1) * 255 / w, dy = std::abs(2 * y - h + 1) * 255 / h;
        return uint8_t(std::min(255, std::max(dx, dy)));
    });
}

std::vector<image_t> images(const std::vector<Brush>& brushes) {
    std::vector<image_t> out;
    for (const Brush& b : brushes)
        out.push_back(b.image());
    return out;
}

// Colour bytes that differ from pixel to pixel, byte 0 from `alpha`.
template <class Alpha> Buffer patterned_source(int w, int h, Alpha alpha) {
    Buffer src(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = src.at(x, y);
            p[0] = alpha(x, y);
            p[1] = uint8_t(x * 2);
            p[2] = uint8_t(y * 3);
            p[3] = uint8_t(x * y + 7);
        }
    return src;
}

// made: whether the filter answered that it made the whole painting.
Buffer run(const Buffer& src, const std::vector<image_t>& brushes, float scale, uint64_t seed,
           int dst_row_bytes = 0, uint8_t fill = 0xA5, bool* made = nullptr) {
    Buffer dst(src.width, src.height, dst_row_bytes ? dst_row_bytes : src.row_bytes, fill);
    Random::seed(seed);
    const bool whole =
        oil_paint_filter(src.bytes.data(), dst.bytes.data(), src.width, src.height, src.row_bytes,
                         dst.row_bytes, brushes.data(), int(brushes.size()), scale);
    if (made) *made = whole;
    return dst;
}

// Colour bytes of every pixel, without row padding or byte 0.
std::vector<uint8_t> colours(const Buffer& b) {
    std::vector<uint8_t> out;
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x)
            out.insert(out.end(), b.at(x, y) + 1, b.at(x, y) + 4);
    return out;
}

// The stroke sequence as documented: the base layer on pitch s with jitter rand() % (S / 4), then the
// detail layer on pitch S, the copy chosen from the mean of byte 0 over the cell's first S / 2 square
// (a cell outside the image keeps the previous choice), jitter rand() % (S / 2). Calls
// stroke(brush, copy, x, y) with the unclamped centre, in painting order.
template <class Stroke>
void replay_strokes(const Buffer& src, int brush_count, int S, int s, uint64_t seed, Stroke stroke) {
    const int W = src.width, H = src.height;
    Random::seed(seed);
    for (int y = 0; y <= H + 2 * s; y += s)
        for (int x = 0; x <= W + 2 * s; x += s) {
            const int k = Random::rand() % brush_count;
            const int jx = Random::rand() % (S / 4);
            const int jy = Random::rand() % (S / 4);
            stroke(k, 3, x - jx, y - jy);
        }
    int index = 0;
    for (int y = 0; y <= H + S; y += S)
        for (int x = 0; x <= W + S; x += S) {
            int sum = 0, count = 0;
            for (int yy = y; yy < std::min(y + S / 2, H); ++yy)
                for (int xx = x; xx < std::min(x + S / 2, W); ++xx, ++count)
                    sum += src.at(xx, yy)[0];
            const int k = Random::rand() % brush_count;
            if (count > 0) index = std::min(sum * 4 / (count * 255), 3);
            const int jx = Random::rand() % (S / 2);
            const int jy = Random::rand() % (S / 2);
            stroke(k, 3 - index, x + S / 2 - jx, y + S / 2 - jy);
        }
}

Buffer underpainting(const Buffer& src, int radius) {
    Buffer out(src.width, src.height, src.row_bytes, 0xA5);
    EXPECT_TRUE(fast_blur_argb(src.bytes.data(), out.bytes.data(), src.width, src.height, src.row_bytes,
                               out.row_bytes, radius, radius));
    return out;
}

// Byte 0 steps by 18-pixel cell so the detail layer picks every size; the noise keeps means off the steps.
Buffer stepped_source(int w, int h) {
    return patterned_source(w, h, [](int x, int y) {
        return uint8_t(std::min(255, 64 * ((x / 18 + y / 18) % 4) + (x * 7 + y * 3) % 64));
    });
}

// The documented bilinear shrink of bytes 1-3 to nw x nh, single precision throughout.
Buffer reference_copy(const Buffer& brush, int nw, int nh) {
    Buffer out(nw, nh, 4 * nw, 0);
    const int bw = brush.width, bh = brush.height;
    const float k = 0.003921569f;
    for (int r = 0; r < nh; ++r) {
        const float ty = float(r) * (float(bh) / float(nh));
        const int sy = std::clamp(int(std::floor(ty)), 0, bh - 1);
        const float ay = ty - float(sy);
        const int sy2 = sy < bh - 2 ? sy + 1 : sy;
        for (int c = 0; c < nw; ++c) {
            const float tx = float(c) * (float(bw) / float(nw));
            const int sx = std::clamp(int(std::floor(tx)), 0, bw - 1);
            const float ax = tx - float(sx);
            const int sx2 = sx < bw - 2 ? sx + 1 : sx;
            for (int ch = 1; ch <= 3; ++ch) {
                const float p = float(brush.at(sx, sy)[ch]), px = float(brush.at(sx2, sy)[ch]);
                const float py = float(brush.at(sx, sy2)[ch]), pxy = float(brush.at(sx2, sy2)[ch]);
                out.at(c, r)[ch] = uint8_t(int(
                    ((pxy * k * ax + py * k * (1 - ax)) * ay + (px * k * ax + p * k * (1 - ax)) * (1 - ay)) *
                    255));
            }
        }
    }
    return out;
}

} // namespace

// Opaque brushes paint rectangles, so the painting is the underpainting overlaid, in order, with
// one rectangle per stroke in the source colour at its clamped centre. The copy sizes come from
// trunc(size x f x 0.5) in single precision at scale 1: 40 x 0.7f rounds up to 28, so 14, not 13.
TEST(OilPaintFilter, StrokesFollowTheGridJitterAndSizes) {
    const std::vector<Brush> brushes = {solid_brush(40, 30), solid_brush(24, 50), solid_brush(36, 36)};
    const int sizes[3][4][2] = {
        {{18, 13}, {16, 12}, {14, 10}, {12, 9}},
        {{10, 22}, {9, 20}, {8, 17}, {7, 15}},
        {{16, 16}, {14, 14}, {12, 12}, {10, 10}},
    };
    const Buffer src = stepped_source(100, 80);
    const Buffer dst = run(src, images(brushes), 1.0f, 42);

    Buffer expected = underpainting(src, 10);
    std::set<int> copies_used;
    replay_strokes(src, 3, 18, 6, 42, [&](int k, int copy, int cx, int cy) {
        copies_used.insert(copy);
        const int w = sizes[k][copy][0], h = sizes[k][copy][1];
        cx = std::clamp(cx, 0, src.width - 1);
        cy = std::clamp(cy, 0, src.height - 1);
        for (int y = std::max(cy - h / 2, 0); y < std::min(cy - h / 2 + h, src.height); ++y)
            for (int x = std::max(cx - w / 2, 0); x < std::min(cx - w / 2 + w, src.width); ++x)
                std::copy(src.at(cx, cy) + 1, src.at(cx, cy) + 4, expected.at(x, y) + 1);
    });
    ASSERT_EQ(copies_used.size(), 4u);
    EXPECT_EQ(dst.bytes, expected.bytes);
}

// Soft brushes, enlarged at scale 2.5 (sizes x 1.125 .. 0.75) and shrunk at 0.9, with rows and
// columns that are not multiples of one another: every copy byte follows the bilinear shrink.
TEST(OilPaintFilter, StrokesStampBilinearCopiesOfTheBrushes) {
    struct Case {
        float scale;
        int sizes[2][4][2];
        int S, s;
    };
    const Case cases[] = {
        {2.5f, {{{22, 12}, {20, 11}, {17, 9}, {15, 8}}, {{6, 31}, {6, 28}, {5, 24}, {4, 21}}}, 22, 7},
        {0.9f, {{{8, 4}, {7, 3}, {6, 3}, {5, 2}}, {{2, 11}, {2, 10}, {1, 8}, {1, 7}}}, 8, 2},
    };
    const Brush brushes[] = {
        Brush(20, 11, [](int x, int y) { return uint8_t((x * 37 + y * 91) % 256); }),
        Brush(6, 28, [](int x, int y) { return uint8_t(x == 5 || y == 27 ? 255 : (x * 50 + y * 9) % 200); }),
    };
    const Buffer src = stepped_source(61, 47);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scale);
        const Buffer dst = run(src, {brushes[0].image(), brushes[1].image()}, c.scale, 11);
        std::vector<Buffer> copies[2];
        for (int b = 0; b < 2; ++b)
            for (const auto& size : c.sizes[b])
                copies[b].push_back(reference_copy(brushes[b].pixels, size[0], size[1]));
        Buffer expected = underpainting(src, int(10 * c.scale));
        replay_strokes(src, 2, c.S, c.s, 11, [&](int k, int copy, int cx, int cy) {
            const Buffer& stamp = copies[k][size_t(copy)];
            cx = std::clamp(cx, 0, src.width - 1);
            cy = std::clamp(cy, 0, src.height - 1);
            const uint8_t* colour = src.at(cx, cy);
            draw_image(stamp.bytes.data(), expected.bytes.data(), stamp.width, stamp.height, src.width,
                       src.height, stamp.row_bytes, expected.row_bytes, cx - stamp.width / 2,
                       cy - stamp.height / 2, colour[1], colour[2], colour[3]);
        });
        EXPECT_EQ(dst.bytes, expected.bytes);
    }
}

TEST(OilPaintFilter, SeededRunsRepeatOnAnyThreadWhateverRanBefore) {
    const std::vector<Brush> brushes = {soft_brush(60, 40), soft_brush(50, 50)};
    const std::vector<Brush> others = {soft_brush(20, 70)};
    const Buffer src = patterned_source(90, 70, [](int x, int y) { return uint8_t(x * 3 + y); });
    const Buffer first = run(src, images(brushes), 0.8f, 7);
    run(src, images(others), 1.7f, 99);
    EXPECT_EQ(run(src, images(brushes), 0.8f, 7).bytes, first.bytes);
    EXPECT_NE(run(src, images(brushes), 0.8f, 8).bytes, first.bytes);

    std::vector<Buffer> results(2, Buffer(1, 1));
    std::vector<std::thread> threads;
    for (Buffer& result : results)
        threads.emplace_back([&src, &brushes, out = &result] { *out = run(src, images(brushes), 0.8f, 7); });
    for (std::thread& t : threads)
        t.join();
    for (const Buffer& result : results)
        EXPECT_EQ(result.bytes, first.bytes);
}

// Threads share the canvas out in bands of rows; strokes that straddle a band edge must land as on one
// thread, in the same order.
TEST(OilPaintFilter, BandsOfRowsPaintTheSameBytesAsOneThread) {
    const std::vector<Brush> brushes = {soft_brush(90, 60), soft_brush(70, 80), solid_brush(50, 40)};
    const Buffer src = patterned_source(420, 700, [](int x, int y) { return uint8_t(x + 2 * y); });
    graphics::setParallelThreads(1);
    const Buffer one = run(src, images(brushes), 1.3f, 11);
    graphics::setParallelThreads(5);
    const Buffer five = run(src, images(brushes), 1.3f, 11);
    graphics::setParallelThreads(0);
    EXPECT_TRUE(one.bytes == five.bytes);
}

// A flat source stays flat: strokes only ever lay down the colour already there. Hard-edged brushes
// keep it exactly; soft ones blend by (d a + c (255 - a)) >> 8, which can only lose, never add.
TEST(OilPaintFilter, FlatSourceStaysFlat) {
    const std::array<uint8_t, 3> colours_to_try[] = {
        {0, 0, 0}, {1, 1, 1}, {128, 128, 128}, {255, 255, 255}, {200, 40, 90}};
    for (const auto& c : colours_to_try) {
        Buffer src(70, 50);
        for (int y = 0; y < src.height; ++y)
            for (int x = 0; x < src.width; ++x) {
                uint8_t* p = src.at(x, y);
                p[0] = uint8_t(x * 5 + y);
                std::copy(c.begin(), c.end(), p + 1);
            }
        const Buffer exact = run(src, images({solid_brush(40, 30), solid_brush(24, 50)}), 0.9f, 3);
        const Buffer soft = run(src, images({soft_brush(40, 30), soft_brush(30, 44)}), 0.9f, 3);
        for (int y = 0; y < src.height; ++y)
            for (int x = 0; x < src.width; ++x) {
                EXPECT_EQ(exact.at(x, y)[0], 0xA5);
                EXPECT_EQ(soft.at(x, y)[0], 0xA5);
                for (int ch = 0; ch < 3; ++ch) {
                    EXPECT_EQ(exact.at(x, y)[ch + 1], c[size_t(ch)]) << x << "," << y;
                    EXPECT_LE(soft.at(x, y)[ch + 1], c[size_t(ch)]) << x << "," << y;
                }
                if (c[0] == c[1] && c[1] == c[2]) {
                    EXPECT_EQ(soft.at(x, y)[1], soft.at(x, y)[2]);
                    EXPECT_EQ(soft.at(x, y)[2], soft.at(x, y)[3]);
                }
            }
    }
}

// Buffers sized to the byte, so the sanitizers catch any write or read outside them; padded rows of
// different lengths catch strokes addressed with the wrong row length.
TEST(OilPaintFilter, SmallAndOddCanvasesStayInsideTheirBuffers) {
    struct Case {
        int width, height, src_row_bytes, dst_row_bytes;
        int brush_size;
        float scale;
    };
    const Case cases[] = {
        {1, 1, 4, 4, 40, 1.0f},      {3, 3, 12, 12, 40, 1.0f}, {3, 2, 12, 12, 200, 2.5f},
        {3, 2, 12, 12, 200, 0.01f},  {5, 4, 28, 20, 30, 1.5f}, {5, 4, 20, 36, 30, 1.5f},
        {64, 1, 256, 256, 50, 1.2f}, {1, 64, 4, 4, 50, 1.2f},  {40, 30, 160, 160, 8, 0.6f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.width << "x" << c.height << " rows " << c.src_row_bytes << "/" << c.dst_row_bytes
                     << " brush " << c.brush_size << " scale " << c.scale);
        Buffer src(c.width, c.height, c.src_row_bytes, 0x5A);
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) {
                uint8_t* p = src.at(x, y);
                p[0] = 255;
                p[1] = uint8_t(x * 40 + 10), p[2] = uint8_t(y * 40 + 20), p[3] = uint8_t(x * y * 9);
            }
        const std::vector<Brush> brushes = {soft_brush(c.brush_size, c.brush_size),
                                            solid_brush(c.brush_size, c.brush_size / 2 + 1)};
        const Buffer dst = run(src, images(brushes), c.scale, 5, c.dst_row_bytes, 0xA5);
        Buffer tight_src(c.width, c.height);
        for (int y = 0; y < c.height; ++y)
            std::copy_n(src.at(0, y), 4 * c.width, tight_src.at(0, y));
        const Buffer tight = run(tight_src, images(brushes), c.scale, 5);
        EXPECT_EQ(colours(dst), colours(tight));
        for (int y = 0; y < c.height; ++y) {
            for (int x = 0; x < c.width; ++x)
                EXPECT_EQ(dst.at(x, y)[0], 0xA5);
            for (int b = 4 * c.width; b < c.dst_row_bytes; ++b)
                EXPECT_EQ(dst.bytes[size_t(y) * c.dst_row_bytes + size_t(b)], 0xA5) << "row padding";
        }
        if (c.scale < 0.1f) {
            EXPECT_EQ(colours(dst), colours(src)) << "copies too small to stamp, radius 0";
        }
    }
}

// Without brushes, or with brushes too small to leave a mark, the painting is the underpainting alone.
TEST(OilPaintFilter, WithoutUsableBrushesOnlyTheUnderpaintingIsMade) {
    const Buffer src = patterned_source(30, 20, [](int, int) { return uint8_t(255); });
    Buffer blurred(30, 20, 120, 0xA5);
    ASSERT_TRUE(fast_blur_argb(src.bytes.data(), blurred.bytes.data(), 30, 20, 120, 120, 7, 7));

    const Brush tiny = solid_brush(2, 2);
    const image_t empty[] = {{nullptr, 50, 50, 200}, {tiny.pixels.bytes.data(), -4, 8, 16}, tiny.image()};
    EXPECT_EQ(run(src, {}, 0.75f, 1).bytes, blurred.bytes);
    EXPECT_EQ(run(src, {empty, empty + 3}, 0.75f, 1).bytes, blurred.bytes);

    Buffer dst(30, 20, 120, 0xA5);
    EXPECT_TRUE(oil_paint_filter(src.bytes.data(), dst.bytes.data(), 30, 20, 120, 120, nullptr, 4, 0.75f));
    EXPECT_EQ(dst.bytes, blurred.bytes);
}

// Nonsense scales neither crash nor hang: at worst no strokes and no blur.
TEST(OilPaintFilter, NonsenseScalesAreHarmless) {
    const Buffer src = patterned_source(12, 9, [](int, int) { return uint8_t(255); });
    const std::vector<Brush> brushes = {soft_brush(30, 30)};
    for (float scale : {0.0f, -3.0f, std::numeric_limits<float>::quiet_NaN()}) {
        const Buffer dst = run(src, images(brushes), scale, 1);
        EXPECT_EQ(colours(dst), colours(src)) << scale;
    }
    // Copies too large to hold are reported, leave the underpainting and fail the painting.
    bool made = true;
    const Buffer huge = run(src, images(brushes), 1e30f, 1, 0, 0xA5, &made);
    EXPECT_FALSE(made);
    for (int y = 0; y < src.height; ++y)
        for (int x = 0; x < src.width; ++x)
            EXPECT_EQ(huge.at(x, y)[0], 0xA5);
}
