#pragma once
// What per-pixel hooks read around a position of the working image: saturation, neighbourhood
// means, edge strength; and the luminance histogram with its levels stretch (the histogram
// methods are declared with PostProcess). Reads never leave the buffer: a position outside the
// image is skipped, clamped or read as black as each function says, and a mean with no sample
// inside the image is black. Nothing here writes into the working image or takes a lock (one run
// at a time). The functions effects call per pixel are inline.
#include "engine/Pixel.h"
#include "engine/PostProcess.h"
#include "kernels/Random.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

// A histogram bin counts as occupied above this many pixels.
constexpr int MIN_THRESHOLD = 10;
// Luminance counts, filled by build_histogram_table and read by the auto-level functions.
inline uint64_t g_histogram_table[256] = {};

namespace neighbourhood_detail {

// NW, N, NE, W, E, SW, S, SE with rows growing downwards.
inline constexpr float kOffsets[8][2] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0},
                                         {1, 0},   {-1, 1}, {0, 1},  {1, 1}};

// Truncation toward zero; NaN and values past any image size land far outside it instead of
// being converted with undefined behaviour.
inline int32_t trunc_coord(float v) {
    if (!(v > -1e9f)) return -1000000000;
    if (v > 1e9f) return 1000000000;
    return int32_t(v);
}

inline int32_t clamp_coord(int32_t v, int32_t size) {
    return v < 0 ? 0 : (v >= size ? size - 1 : v);
}

// The eight sample positions of the edge detectors, before any clamping. With randomisation
// each coordinate's offset is scaled by its own factor in min .. max (x drawn first).
inline void edge_positions(int32_t x, int32_t y, bool randomized, float scale, float min, float max,
                           int32_t sx[8], int32_t sy[8]) {
    for (int k = 0; k < 8; ++k) {
        const float dx = kOffsets[k][0] * scale;
        const float dy = kOffsets[k][1] * scale;
        if (randomized) {
            const float fx = float(Random::random() % 5001) / 5000.0f * (max - min) + min;
            const float fy = float(Random::random() % 5001) / 5000.0f * (max - min) + min;
            sx[k] = trunc_coord(fx * dx + float(x));
            sy[k] = trunc_coord(fy * dy + float(y));
        } else {
            sx[k] = trunc_coord(dx + float(x));
            sy[k] = trunc_coord(dy + float(y));
        }
    }
}

} // namespace neighbourhood_detail

// Grey of the working-image pixel at (x, y) from its byte sum: times 1/255, then times 1/3, each in
// double and rounded to single, as the looks using it were tuned. 0 outside the image.
inline float source_gray(int32_t x, int32_t y) {
    const uint8_t* data = PostProcess::gp_data;
    if (!data || x < 0 || y < 0 || x >= PostProcess::g_width || y >= PostProcess::g_height) return 0.0f;
    const uint8_t* p =
        data + (size_t(y) * size_t(PostProcess::g_width) + size_t(x)) * size_t(PostProcess::g_bpp_dv);
    const float sum = float(int(p[1]) + int(p[2]) + int(p[3]));
    const float scaled = float(double(sum) * (1.0 / 255.0));
    return float(double(scaled) * (1.0 / 3.0));
}

// Grey L = 0.33 r + 0.59 g + 0.11 b (weights summing to 1.03 on purpose), then each channel moved
// away from L by k: 0 gives grey, 1 the pixel.
inline pixel_t do_saturation(pixel_t p, float k) {
    const float l = float(0.33 * double(p.r) + 0.59 * double(p.g) + 0.11 * double(p.b));
    return {(p.r - l) * k + l, (p.g - l) * k + l, (p.b - l) * k + l};
}

// Mean of the eight neighbours at radius around (x, y) of a buffer with rows of width pixels;
// the centre is not part of it and neighbours outside are skipped.
inline pixel_t do_blur_data(const uint8_t* data, int32_t width, int32_t height, int32_t x, int32_t y,
                            float radius) {
    using namespace neighbourhood_detail;
    if (!data) return {0.0f, 0.0f, 0.0f};
    constexpr float k = 1.0f / 255.0f;
    const size_t bpp = size_t(PostProcess::g_bpp_dv);
    float r = 0.0f, g = 0.0f, b = 0.0f;
    // The common case, a whole-pixel radius with every neighbour inside: each position is then an
    // exact integer offset, so the sums take the same samples in the same order without the
    // per-neighbour conversions and bounds tests.
    constexpr float kExact = float(1 << 20);
    if (radius >= -kExact && radius <= kExact && width < (1 << 22) && height < (1 << 22)) {
        const int32_t d = int32_t(radius);
        const int32_t a = d < 0 ? -d : d;
        if (float(d) == radius && x >= a && y >= a && x + a < width && y + a < height) {
            const uint8_t* c = data + (size_t(y) * size_t(width) + size_t(x)) * bpp;
            const ptrdiff_t dx = ptrdiff_t(d) * ptrdiff_t(bpp);
            const ptrdiff_t dy = ptrdiff_t(d) * ptrdiff_t(width) * ptrdiff_t(bpp);
            const uint8_t* const at[8] = {c - dy - dx, c - dy,      c - dy + dx, c - dx,
                                          c + dx,      c + dy - dx, c + dy,      c + dy + dx};
            for (const uint8_t* p : at) {
                r += float(p[1]) * k;
                g += float(p[2]) * k;
                b += float(p[3]) * k;
            }
            constexpr float inv = 1.0f / 8.0f;
            return {r * inv, g * inv, b * inv};
        }
    }
    int n = 0;
    for (const auto& o : kOffsets) {
        const int32_t sy = trunc_coord(o[1] * radius + float(y));
        if (sy < 0 || sy >= height) continue;
        const int32_t sx = trunc_coord(o[0] * radius + float(x));
        if (sx < 0 || sx >= width) continue;
        const uint8_t* p = data + (size_t(sy) * size_t(width) + size_t(sx)) * bpp;
        r += float(p[1]) * k;
        g += float(p[2]) * k;
        b += float(p[3]) * k;
        ++n;
    }
    if (n == 0) return {0.0f, 0.0f, 0.0f};
    const float inv = 1.0f / float(n);
    return {r * inv, g * inv, b * inv};
}

// do_blur_data over the working image.
inline pixel_t do_blur(int32_t x, int32_t y, float radius) {
    return do_blur_data(PostProcess::gp_data, PostProcess::g_width, PostProcess::g_height, x, y, radius);
}

// Box mean over columns x - r .. x + r - 1 and rows y - r .. y + r - 1, positions clamped to the
// image. Black for r < 1 or no working image.
inline pixel_t do_blur2(int32_t x, int32_t y, int32_t r) {
    const uint8_t* data = PostProcess::gp_data;
    const int32_t w = PostProcess::g_width, h = PostProcess::g_height;
    if (!data || r < 1) return {0.0f, 0.0f, 0.0f};
    constexpr float k = 1.0f / 255.0f;
    const size_t bpp = size_t(PostProcess::g_bpp_dv);
    float sr = 0.0f, sg = 0.0f, sb = 0.0f;
    for (int64_t sx = int64_t(x) - r; sx < int64_t(x) + r; ++sx) {
        const size_t cx = size_t(std::clamp<int64_t>(sx, 0, w - 1));
        for (int64_t sy = int64_t(y) - r; sy < int64_t(y) + r; ++sy) {
            const size_t cy = size_t(std::clamp<int64_t>(sy, 0, h - 1));
            const uint8_t* p = data + (cy * size_t(w) + cx) * bpp;
            sr += float(p[1]) * k;
            sg += float(p[2]) * k;
            sb += float(p[3]) * k;
        }
    }
    const float count = float(4 * int64_t(r) * int64_t(r));
    return {sr / count, sg / count, sb / count};
}

// Sparse box mean: every step-th column and row from x - r and y - r while below x + r and
// y + r, positions outside skipped, integer mean of the bytes. A step below 1 counts as 1.
inline pixel_t do_blur3(int32_t x, int32_t y, int32_t r, int32_t step) {
    const uint8_t* data = PostProcess::gp_data;
    const int32_t w = PostProcess::g_width, h = PostProcess::g_height;
    if (!data) return {0.0f, 0.0f, 0.0f};
    const int64_t s = step < 1 ? 1 : step;
    const size_t bpp = size_t(PostProcess::g_bpp_dv);
    int64_t sr = 0, sg = 0, sb = 0, n = 0;
    for (int64_t sx = int64_t(x) - r; sx < int64_t(x) + r; sx += s) {
        if (sx < 0 || sx >= w) continue;
        for (int64_t sy = int64_t(y) - r; sy < int64_t(y) + r; sy += s) {
            if (sy < 0 || sy >= h) continue;
            const uint8_t* p = data + (size_t(sy) * size_t(w) + size_t(sx)) * bpp;
            sr += p[1];
            sg += p[2];
            sb += p[3];
            ++n;
        }
    }
    if (n == 0) return {0.0f, 0.0f, 0.0f};
    constexpr double k = 1.0 / 255.0;
    return {float(double(float(sr / n)) * k), float(double(float(sg / n)) * k),
            float(double(float(sb / n)) * k)};
}

// Sobel edge strength 0..1 from eight samples at scale around (x, y), positions clamped to the
// image, grey = integer mean of the three bytes. Randomised sampling draws two random() numbers
// per sample.
inline float do_edge_detection(int32_t x, int32_t y, bool randomized, float scale, float min, float max) {
    using namespace neighbourhood_detail;
    const uint8_t* data = PostProcess::gp_data;
    const int32_t w = PostProcess::g_width, h = PostProcess::g_height;
    if (!data) return 0.0f;
    int32_t sx[8], sy[8];
    edge_positions(x, y, randomized, scale, min, max, sx, sy);
    const size_t bpp = size_t(PostProcess::g_bpp_dv);
    int32_t grey[8];
    for (int k = 0; k < 8; ++k) {
        const uint8_t* p =
            data + (size_t(clamp_coord(sy[k], h)) * size_t(w) + size_t(clamp_coord(sx[k], w))) * bpp;
        grey[k] = (int32_t(p[1]) + p[2] + p[3]) / 3;
    }
    enum { NW, N, NE, W, E, SW, S, SE };
    const int32_t gx = (grey[NE] + 2 * grey[E] + grey[SE]) - (grey[NW] + 2 * grey[W] + grey[SW]);
    const int32_t gy = (grey[SW] + 2 * grey[S] + grey[SE]) - (grey[NW] + 2 * grey[N] + grey[NE]);
    const float v = float(double(std::sqrt(float(gx * gx + gy * gy))) * (1.0 / 255.0));
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}

// Variants nothing calls per pixel today.

// As do_edge_detection with float grey values, side weights 5, samples outside the image read
// as 0 and no division by 255.
float do_test_edge_detection(int32_t x, int32_t y, bool randomized, float scale, float min, float max);
// 8 x centre minus the eight neighbours, times 0.125; outside reads as black.
pixel_t do_sharpen(int32_t x, int32_t y);
// Mean of the centre and its four direct neighbours; outside reads as black.
pixel_t get_blur_pixel(int32_t x, int32_t y);
// Per-channel minimum (from 1) or maximum (from 0) over columns min(x0, x1) .. max(x0, x1) - 1 and
// the same rows, positions clamped to the image.
pixel_t get_flat(int32_t x0, int32_t y0, int32_t x1, int32_t y1, bool take_max);
// Over the same window with outside read as black: out = the three means, then for each channel
// n times its variance. All zero for an empty window.
void get_region_info(float out[6], int32_t x0, int32_t y0, int32_t x1, int32_t y1);
// Per channel, the mean of the 3 x 3 quadrant (of the four touching (x, y)) whose variance is least.
pixel_t do_kuwahara(int32_t x, int32_t y);
// A copy of the image's pixel rows as stored.
foundation::Bytes CopyImagePixels(const graphics::ImagePtr& image);
