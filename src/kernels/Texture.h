#pragma once
// Texture records: heap-allocated 4-byte-per-pixel images that effects keep between their
// preparation step and their per-pixel step. Rows are exactly 4 x width bytes.
//
// Pixels are ARGB in memory (byte 0 alpha, bytes 1-3 red, green, blue); the `_rgba` samplers read
// red, green, blue at bytes 0-2 instead. Samplers pack the three channels read into bits 0-7,
// 8-15 and 16-23 of their result. They are inline and allocation-free: effects call them once or
// more per output pixel.
#include "platform/graphics/Clamp.h"

#include <cstddef>
#include <cstdint>

struct texture_t {
    uint8_t* data;
    int32_t width;
    int32_t height;
    int32_t bytes_per_pixel; // always 4
};

// Constructors hand ownership to the caller; the bytes-per-pixel argument is ignored and the record
// always says 4. They answer null (and say so on standard error) only when memory runs out.

// New record with an uninitialised buffer.
texture_t* tex_create_empty(int width, int height, int bytes_per_pixel);
// Byte copy of a w x h source with rows of 4 x w bytes.
texture_t* tex_create_copy(int w, int h, const uint8_t* src, int bytes_per_pixel);
// Nearest-neighbour scale of a w x h source; a side that would be below 10 becomes 10. An empty
// source gives a texture of zeros.
texture_t* tex_create(int w, int h, const uint8_t* src, int bytes_per_pixel, float scale_x, float scale_y);
// As tex_create with all four bytes inverted.
texture_t* tex_create_inv(int w, int h, const uint8_t* src, int bytes_per_pixel, float scale_x,
                          float scale_y);
// As tex_create with contrast around 128 on bytes 1-3 (their integer mean when grey is non-zero);
// byte 0 is copied.
texture_t* tex_create_ct_bw(int w, int h, const uint8_t* src, int bytes_per_pixel, int grey, float scale_x,
                            float scale_y, float contrast);
// Frees the pixel buffer, then the record. Null is allowed.
void tex_free(texture_t* tex);
// The scaling constructors' rules, for callers that read a scaled source without making it: the
// texture side for a source side and scale, and the source index of texel i of n along a side.
int tex_scaled_side(float scale, int side);
int tex_source_index(int i, int n, int side);

// Mean of bytes 1-3 over offsets -radius, -radius + step, ... below +radius around (x, y), texels
// outside the texture skipped; 255 in bits 24-31. A radius below 1 answers the texel itself.
uint32_t tex_blur_pixel(const texture_t* tex, int x, int y, int radius, int step);
// Replaces the buffer by tex_blur_pixel of every texel (byte 0 = 255).
void tex_blur(texture_t* tex, int radius, int step);
// Replaces bytes 1-3 by their box blur (fast_blur_argb, the same radius across and down; a
// negative radius counts as 0); byte 0 is kept. False, the texture as it was, for no texture, out
// of memory or when the work was cancelled.
[[nodiscard]] bool tex_blur_fast(texture_t* tex, int radius);

namespace tex_detail {

using graphics::clamp01;

// Tiling: the fractional part is exactly what subtracting 1 until below 1 leaves, without looping
// for ever on huge or infinite coordinates (from 2^24 up every float is whole). Negative
// coordinates are not wrapped.
inline float wrap(float t) {
    if (t < 1.0f) return t;
    return t < 16777216.0f ? t - float(int(t)) : 0.0f;
}

inline uint32_t pack(const uint8_t* p, uint32_t top) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | top << 24;
}

// Extrapolated values at the far edges can leave 0..255; clamp rather than wrap the byte.
inline uint32_t to_byte(float value) {
    const int v = int(value);
    return uint32_t(v < 0 ? 0 : (v > 255 ? 255 : v));
}

// `first` is the byte offset of the first channel read.
inline uint32_t nearest(const texture_t* tex, float u, float v, int first) {
    const int w = tex->width, h = tex->height;
    if (w <= 0 || h <= 0) return 0;
    int col = int(clamp01(u) * float(w)); // non-negative: truncation is floor
    int row = int(clamp01(v) * float(h));
    if (col >= w) col = w - 1;
    if (row >= h) row = h - 1;
    return pack(tex->data + (size_t(row) * size_t(w) + size_t(col)) * 4 + first, 255);
}

struct axis_t {
    int i0, i1;
    float a; // weight of i1
};

// The last two texels are used at the far edge, extrapolating with a weight up to 2; a side of a
// single texel has no neighbour and answers that texel alone.
inline axis_t axis(float t, int n) {
    if (n == 1) return {0, 0, 0.0f};
    const float f = t * float(n);
    int i = int(f); // f >= 0: truncation is floor
    if (i + 1 >= n) i = n - 2;
    return {i, i + 1, f - float(i)};
}

// The three channels from r0 and r1 (texel rows y.i0 and y.i1, at the first channel read)
// weighted by x and by a, the weight of r1.
inline uint32_t blend_rows(const uint8_t* r0, const uint8_t* r1, axis_t x, float a) {
    const uint8_t* p00 = r0 + size_t(x.i0) * 4;
    const uint8_t* p10 = r0 + size_t(x.i1) * 4;
    const uint8_t* p01 = r1 + size_t(x.i0) * 4;
    const uint8_t* p11 = r1 + size_t(x.i1) * 4;
    uint32_t out = 0;
    for (int c = 0; c < 3; ++c) {
        const float top = float(p10[c]) * x.a + float(p00[c]) * (1.0f - x.a);
        const float bottom = float(p11[c]) * x.a + float(p01[c]) * (1.0f - x.a);
        const float value = top * (1.0f - a) + bottom * a;
        out |= to_byte(value) << (8 * c);
    }
    return out;
}

inline uint32_t bilinear(const texture_t* tex, float u, float v, int first) {
    const int w = tex->width, h = tex->height;
    if (w <= 0 || h <= 0) return 0;
    const axis_t x = axis(clamp01(u), w);
    const axis_t y = axis(clamp01(v), h);
    const size_t stride = size_t(w) * 4;
    return blend_rows(tex->data + size_t(y.i0) * stride + first, tex->data + size_t(y.i1) * stride + first, x,
                      y.a);
}

} // namespace tex_detail

// Coordinates are normalised: 0 is the first texel's edge, 1 the far edge.
// Nearest samplers clamp u, v to [0, 1]; bits 24-31 are 255.
inline uint32_t tex_get_pixel_nearest(const texture_t* tex, float u, float v) {
    return tex_detail::nearest(tex, u, v, 1);
}
inline uint32_t tex_get_pixel_nearest_rgba(const texture_t* tex, float u, float v) {
    return tex_detail::nearest(tex, u, v, 0);
}

// Bilinear samplers; bits 24-31 are 0. The plain one clamps u, v to [0, 1]; `_argb` and `_rgba`
// first repeat the texture for coordinates at or above 1.
inline uint32_t tex_get_pixel_bilinear(const texture_t* tex, float u, float v) {
    return tex_detail::bilinear(tex, u, v, 1);
}
inline uint32_t tex_get_pixel_bilinear_argb(const texture_t* tex, float u, float v) {
    return tex_detail::bilinear(tex, tex_detail::wrap(u), tex_detail::wrap(v), 1);
}
inline uint32_t tex_get_pixel_bilinear_rgba(const texture_t* tex, float u, float v) {
    return tex_detail::bilinear(tex, tex_detail::wrap(u), tex_detail::wrap(v), 0);
}
