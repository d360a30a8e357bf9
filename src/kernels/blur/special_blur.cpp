#include "kernels/blur/special_blur.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

// Three channel sums and a pixel count, moved together. Unsigned arithmetic wraps, so a
// window may be shrunk past rows it never held and grown back: the result is still exact.
using Sums = std::array<uint32_t, 4>;

inline void add(Sums& a, const Sums& b) {
    for (int k = 0; k < 4; ++k)
        a[k] += b[k];
}
inline void sub(Sums& a, const Sums& b) {
    for (int k = 0; k < 4; ++k)
        a[k] -= b[k];
}

// Radius per distance from the centre's column or row. Entries hold any radius up to limit:
// radii of large photos no longer wrap at 256.
std::vector<int32_t> radius_table(int count, int center, int half_width, int limit, int sharp, bool radial) {
    const float half_w = float(std::max(1, half_width));
    std::vector<int32_t> table(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const float d = float(std::llabs(int64_t(i) - center));
        if (float(sharp) >= d) {
            table[size_t(i)] = 0;
            continue;
        }
        float r = (d - float(sharp)) * float(limit) / half_w;
        if (radial) r = r * 0.2f;
        r = std::floor(r);
        table[size_t(i)] = r < float(limit) ? int32_t(r) : limit;
    }
    return table;
}

// Window [top, bottom) of rows around row y with radius r, clipped to the image.
inline int window_top(int y, int r) {
    return std::max(y - r, 0);
}
inline int window_bottom(int y, int r, int height) {
    return int(std::min<int64_t>(int64_t(y) + r + 1, height));
}

inline int pixel_radius(int32_t col, int32_t row) {
    return int((int64_t(col) + row) >> 1);
}

// Blur radius of pixel (x, y) is (col[x] + row[y]) >> 1; each column's vertical window uses
// its own radius for the row.
template <int C0, int C1, int C2>
void blur_variable(const uint8_t* src, uint8_t* dst, int width, int height, int src_rb, int dst_rb,
                   const std::vector<int32_t>& col, const std::vector<int32_t>& row) {
    std::vector<Sums> states(size_t(width), Sums{0, 0, 0, 0});
    auto move_row = [&](int c, int y, bool adding) {
        const uint8_t* p = src + size_t(y) * size_t(src_rb) + 4 * size_t(c);
        const Sums s{p[C0], p[C1], p[C2], 1};
        if (adding)
            add(states[size_t(c)], s);
        else
            sub(states[size_t(c)], s);
    };
    // Moves column c's window from [t0, b0) to [t1, b1).
    auto move_window = [&](int c, int t0, int b0, int t1, int b1) {
        for (int y = t1; y < t0; ++y)
            move_row(c, y, true);
        for (int y = t0; y < t1; ++y)
            move_row(c, y, false);
        for (int y = b0; y < b1; ++y)
            move_row(c, y, true);
        for (int y = b1; y < b0; ++y)
            move_row(c, y, false);
    };

    for (int c = 0; c < width; ++c) {
        const int r = pixel_radius(col[size_t(c)], row[0]);
        move_window(c, 0, 0, 0, window_bottom(0, r, height));
    }

    for (int y = 0; y < height; ++y) {
        uint8_t* out = dst + size_t(y) * size_t(dst_rb);
        Sums total{0, 0, 0, 0};
        int lo = 0, hi = 0;
        for (int x = 0; x < width; ++x) {
            const int r = pixel_radius(col[size_t(x)], row[size_t(y)]);
            const int nlo = std::max(x - r, 0);
            const int nhi = int(std::min<int64_t>(int64_t(x) + r + 1, width));
            for (; lo < nlo; ++lo)
                sub(total, states[size_t(lo)]);
            for (; lo > nlo; --lo)
                add(total, states[size_t(lo - 1)]);
            for (; hi < nhi; ++hi)
                add(total, states[size_t(hi)]);
            for (; hi > nhi; --hi)
                sub(total, states[size_t(hi - 1)]);
            uint8_t* px = out + 4 * size_t(x);
            px[C0] = uint8_t(total[0] / total[3]);
            px[C1] = uint8_t(total[1] / total[3]);
            px[C2] = uint8_t(total[2] / total[3]);
        }
        if (y + 1 == height) break;
        for (int c = 0; c < width; ++c) {
            const int r0 = pixel_radius(col[size_t(c)], row[size_t(y)]);
            const int r1 = pixel_radius(col[size_t(c)], row[size_t(y + 1)]);
            move_window(c, window_top(y, r0), window_bottom(y, r0, height), window_top(y + 1, r1),
                        window_bottom(y + 1, r1, height));
        }
    }
}

template <int C0, int C1, int C2>
void blur_radial(const uint8_t* src, uint8_t* dst, int width, int height, int src_rb, int dst_rb, int cx,
                 int cy, int limit, int sharp) {
    if (width < 1 || height < 1) return;
    limit = std::max(limit, 0);
    // Both tables scale by half the width.
    const auto col = radius_table(width, cx, width / 2, limit, sharp, true);
    const auto row = radius_table(height, cy, width / 2, limit, sharp, true);
    blur_variable<C0, C1, C2>(src, dst, width, height, src_rb, dst_rb, col, row);
}

template <int C0, int C1, int C2>
void blur_vertical(const uint8_t* src, uint8_t* dst, int width, int height, int src_rb, int dst_rb, int cy,
                   int limit, int sharp) {
    if (width < 1 || height < 1) return;
    limit = std::max(limit, 0);
    // Halving the row entry alone is the radial rule with all column entries 0.
    const std::vector<int32_t> col(size_t(width), 0);
    const auto row = radius_table(height, cy, width / 2, limit, sharp, false);
    blur_variable<C0, C1, C2>(src, dst, width, height, src_rb, dst_rb, col, row);
}

} // namespace

void blur_radial_argb(const uint8_t* src, uint8_t* dst, int width, int height, int src_row_bytes,
                      int dst_row_bytes, int center_x, int center_y, int limit, int sharp) {
    blur_radial<1, 2, 3>(src, dst, width, height, src_row_bytes, dst_row_bytes, center_x, center_y, limit,
                         sharp);
}

void blur_radial_rgba(const uint8_t* src, uint8_t* dst, int width, int height, int src_row_bytes,
                      int dst_row_bytes, int center_x, int center_y, int limit, int sharp) {
    blur_radial<0, 1, 2>(src, dst, width, height, src_row_bytes, dst_row_bytes, center_x, center_y, limit,
                         sharp);
}

void blur_vertical_argb(const uint8_t* src, uint8_t* dst, int width, int height, int src_row_bytes,
                        int dst_row_bytes, int center_y, int limit, int sharp) {
    blur_vertical<1, 2, 3>(src, dst, width, height, src_row_bytes, dst_row_bytes, center_y, limit, sharp);
}

void blur_vertical_rgba(const uint8_t* src, uint8_t* dst, int width, int height, int src_row_bytes,
                        int dst_row_bytes, int center_y, int limit, int sharp) {
    blur_vertical<0, 1, 2>(src, dst, width, height, src_row_bytes, dst_row_bytes, center_y, limit, sharp);
}
