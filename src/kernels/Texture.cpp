#include "kernels/Texture.h"

#include "kernels/blur/fast_blur.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

texture_t* tex_create_empty(int width, int height, int /*bytes_per_pixel*/) {
    const size_t w = width > 0 ? size_t(width) : 0;
    const size_t h = height > 0 ? size_t(height) : 0;
    // malloc(0) may answer null; keep a valid pointer so callers can free uniformly.
    const size_t bytes = w * h * 4;
    auto* tex = static_cast<texture_t*>(std::malloc(sizeof(texture_t)));
    uint8_t* data = static_cast<uint8_t*>(std::malloc(bytes > 0 ? bytes : 1));
    if (!tex || !data) {
        std::fprintf(stderr, "Texture %zux%zu not allocated!\n", w, h);
        std::free(tex);
        std::free(data);
        return nullptr;
    }
    tex->data = data;
    tex->width = int32_t(w);
    tex->height = int32_t(h);
    tex->bytes_per_pixel = 4;
    return tex;
}

void tex_free(texture_t* tex) {
    if (!tex) return;
    std::free(tex->data);
    std::free(tex);
}

texture_t* tex_create_copy(int w, int h, const uint8_t* src, int bytes_per_pixel) {
    texture_t* tex = tex_create_empty(w, h, bytes_per_pixel);
    if (!tex) return nullptr;
    const size_t bytes = size_t(tex->width) * size_t(tex->height) * 4;
    if (src)
        std::memcpy(tex->data, src, bytes);
    else
        std::memset(tex->data, 0, bytes);
    return tex;
}

// Single precision, truncated; small (and NaN) results become 10.
int tex_scaled_side(float scale, int side) {
    const float f = scale * float(side);
    if (!(f >= 10.0f)) return 10;
    if (f >= 2147483648.0f) return INT_MAX;
    return int(f);
}

// Divide first, then multiply, in single precision.
int tex_source_index(int i, int n, int side) {
    const int s = int(float(i) / float(n) * float(side));
    return std::min(s, side - 1);
}

namespace {

// Nearest-neighbour scale of the source; `op(source pixel, output pixel)` writes the 4 output bytes.
template <class Op>
texture_t* create_scaled(int w, int h, const uint8_t* src, float scale_x, float scale_y, Op op) {
    const int nw = tex_scaled_side(scale_x, w);
    const int nh = tex_scaled_side(scale_y, h);
    texture_t* tex = tex_create_empty(nw, nh, 4);
    if (!tex) return nullptr;
    uint8_t* out = tex->data;
    if (w <= 0 || h <= 0 || !src) { // nothing to sample
        std::memset(out, 0, size_t(nw) * size_t(nh) * 4);
        return tex;
    }
    std::unique_ptr<size_t[]> column_offset(new (std::nothrow) size_t[size_t(nw)]);
    if (!column_offset) {
        std::fprintf(stderr, "Texture %dx%d not scaled: out of memory\n", nw, nh);
        tex_free(tex);
        return nullptr;
    }
    for (int i = 0; i < nw; ++i)
        column_offset[size_t(i)] = size_t(tex_source_index(i, nw, w)) * 4;
    const size_t src_stride = size_t(w) * 4;
    for (int j = 0; j < nh; ++j) {
        const uint8_t* row = src + size_t(tex_source_index(j, nh, h)) * src_stride;
        for (int i = 0; i < nw; ++i, out += 4)
            op(row + column_offset[size_t(i)], out);
    }
    return tex;
}

// (c - 128) x contrast + 128 in double, truncated and clamped to a byte; NaN gives 0.
uint8_t with_contrast(int c, float contrast) {
    const double v = double(c - 128) * double(contrast) + 128.0;
    if (!(v > 0.0)) return 0;
    if (v >= 255.0) return 255;
    return uint8_t(v);
}

} // namespace

texture_t* tex_create(int w, int h, const uint8_t* src, int /*bytes_per_pixel*/, float scale_x,
                      float scale_y) {
    return create_scaled(w, h, src, scale_x, scale_y,
                         [](const uint8_t* s, uint8_t* d) { std::memcpy(d, s, 4); });
}

texture_t* tex_create_inv(int w, int h, const uint8_t* src, int /*bytes_per_pixel*/, float scale_x,
                          float scale_y) {
    return create_scaled(w, h, src, scale_x, scale_y, [](const uint8_t* s, uint8_t* d) {
        for (int k = 0; k < 4; ++k)
            d[k] = uint8_t(255 - s[k]);
    });
}

texture_t* tex_create_ct_bw(int w, int h, const uint8_t* src, int /*bytes_per_pixel*/, int grey,
                            float scale_x, float scale_y, float contrast) {
    if (grey) {
        return create_scaled(w, h, src, scale_x, scale_y, [contrast](const uint8_t* s, uint8_t* d) {
            const uint8_t g = with_contrast((s[1] + s[2] + s[3]) / 3, contrast);
            d[0] = s[0];
            d[1] = d[2] = d[3] = g;
        });
    }
    return create_scaled(w, h, src, scale_x, scale_y, [contrast](const uint8_t* s, uint8_t* d) {
        d[0] = s[0];
        for (int k = 1; k < 4; ++k)
            d[k] = with_contrast(s[k], contrast);
    });
}

namespace {

struct span_t {
    int64_t first, end; // offsets first, first + step, ... below end
};

// Offsets -radius + k x step below +radius that keep pos + offset inside 0..n-1.
span_t blur_span(int pos, int n, int radius, int step) {
    int64_t first = -int64_t(radius);
    const int64_t lowest = -int64_t(pos);
    if (first < lowest) first += (lowest - first + step - 1) / step * step;
    return {first, std::min<int64_t>(radius, int64_t(n) - pos)};
}

} // namespace

uint32_t tex_blur_pixel(const texture_t* tex, int x, int y, int radius, int step) {
    const int w = tex->width, h = tex->height;
    if (radius < 1) { // no offset would be visited: answer the texel itself
        if (x < 0 || y < 0 || x >= w || y >= h) return 0xFF000000u;
        return tex_detail::pack(tex->data + (size_t(y) * size_t(w) + size_t(x)) * 4 + 1, 255);
    }
    if (step < 1) step = 1; // a non-positive step would never finish
    const span_t sx = blur_span(x, w, radius, step);
    const span_t sy = blur_span(y, h, radius, step);
    uint64_t sum1 = 0, sum2 = 0, sum3 = 0, count = 0;
    for (int64_t j = sy.first; j < sy.end; j += step) {
        const uint8_t* row = tex->data + size_t(y + j) * size_t(w) * 4 + 1;
        for (int64_t i = sx.first; i < sx.end; i += step) {
            const uint8_t* p = row + size_t(x + i) * 4;
            sum1 += p[0];
            sum2 += p[1];
            sum3 += p[2];
            ++count;
        }
    }
    if (count == 0) return 0xFF000000u;
    return uint32_t(sum1 / count) | uint32_t(sum2 / count) << 8 | uint32_t(sum3 / count) << 16 | 0xFF000000u;
}

void tex_blur(texture_t* tex, int radius, int step) {
    const size_t bytes = size_t(tex->width) * size_t(tex->height) * 4;
    auto* blurred = static_cast<uint8_t*>(std::malloc(bytes > 0 ? bytes : 1));
    if (!blurred) {
        std::fprintf(stderr, "Texture %dx%d not blurred: out of memory\n", tex->width, tex->height);
        return;
    }
    uint8_t* out = blurred;
    for (int y = 0; y < tex->height; ++y) {
        for (int x = 0; x < tex->width; ++x, out += 4) {
            const uint32_t p = tex_blur_pixel(tex, x, y, radius, step);
            out[0] = 255;
            out[1] = uint8_t(p);
            out[2] = uint8_t(p >> 8);
            out[3] = uint8_t(p >> 16);
        }
    }
    std::free(tex->data);
    tex->data = blurred;
}

bool tex_blur_fast(texture_t* tex, int radius) {
    if (!tex) return false;
    const size_t bytes = size_t(tex->width) * size_t(tex->height) * 4;
    auto* blurred = static_cast<uint8_t*>(std::malloc(bytes > 0 ? bytes : 1));
    if (!blurred) {
        std::fprintf(stderr, "Texture %dx%d not blurred: out of memory\n", tex->width, tex->height);
        return false;
    }
    // The blur leaves byte 0 alone: start from the old bytes so that none is left undefined.
    std::memcpy(blurred, tex->data, bytes);
    const int r = radius > 0 ? radius : 0;
    const int row_bytes = tex->width * 4;
    if (!fast_blur_argb(tex->data, blurred, tex->width, tex->height, row_bytes, row_bytes, r, r)) {
        std::free(blurred);
        return false;
    }
    std::free(tex->data);
    tex->data = blurred;
    return true;
}
