#include "kernels/drawing/quad2rect.h"

#include <cmath>
#include <cstddef>
#include <cstring>

namespace {

struct source_t {
    const uint8_t* bytes;
    int width, height, row_bytes;
    uint32_t fill;

    uint32_t at(int64_t sx, int64_t sy) const {
        if (sx < 0 || sy < 0 || sx >= width || sy >= height) return fill;
        uint32_t p;
        std::memcpy(&p, bytes + ptrdiff_t(sx) * 4 + ptrdiff_t(sy) * row_bytes, 4);
        return p;
    }
};

// Floored source coordinate, or -1 (outside) where it is beyond any index.
int64_t index_of(float f, int side) {
    const float s = std::floor(f);
    return s >= 0.0f && s < float(side) ? int64_t(s) : -1;
}

} // namespace

void quad2rect(const uint32_t* src, uint32_t* dst, int width, int height, int source_row_bytes,
               int /*unused*/, uint32_t fill, float x0, float y0, float x1, float y1, float x2, float y2,
               float x3, float y3) {
    const source_t source{reinterpret_cast<const uint8_t*>(src), width, height, source_row_bytes, fill};
    const float du = 1.0f / float(width);
    const float dv = 1.0f / float(height);
    for (int j = 0; j < height; ++j) {
        const float v = float(j) * dv;
        const float lx = x0 + v * (x1 - x0), ly = y0 + v * (y1 - y0);
        const float rx = x3 + v * (x2 - x3), ry = y3 + v * (y2 - y3);
        for (int i = 0; i < width; ++i) {
            const float u = float(i) * du;
            *dst++ = source.at(index_of(lx + u * (rx - lx), width), index_of(ly + u * (ry - ly), height));
        }
    }
}

void quad2rect_i(const uint32_t* src, uint32_t* dst, int width, int height, int source_row_bytes,
                 int /*unused*/, uint32_t fill, int x0, int y0, int x1, int y1, int x2, int y2, int x3,
                 int y3) {
    if (width < 1 || height < 1) return;
    const source_t source{reinterpret_cast<const uint8_t*>(src), width, height, source_row_bytes, fill};
    // u = i / width and v = j / height held as exact fractions: steps of 2048 / width truncated
    // shrink the picture (width 1000 reached column 975) and vanish above width 2048.
    using wide = __int128;
    const wide w = width, h = height, wh = w * h;
    auto floor_div = [](wide n, wide d) { return n / d - wide(n % d != 0 && n < 0); };
    for (int64_t j = 0; j < height; ++j) {
        // Edge points scaled by height.
        const wide lx = wide(x0) * h + j * (wide(x1) - x0), ly = wide(y0) * h + j * (wide(y1) - y0);
        const wide rx = wide(x3) * h + j * (wide(x2) - x3), ry = wide(y3) * h + j * (wide(y2) - y3);
        for (int64_t i = 0; i < width; ++i) {
            const wide sx = floor_div(lx * w + i * (rx - lx), wh);
            const wide sy = floor_div(ly * w + i * (ry - ly), wh);
            *dst++ = sx < 0 || sy < 0 || sx >= w || sy >= h ? fill : source.at(int64_t(sx), int64_t(sy));
        }
    }
}
