#include "kernels/blur/fast_blur.h"

#include "kernels/blur/gaussian_blur.h"
#include "platform/graphics/ParallelRows.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <memory>
#include <new>

namespace {

// s / d for 0 <= s <= 255 d without a hardware division per pixel: with m = floor(2^64 / d) + 1
// the high half of s m overshoots s / d by less than 1 / d as long as 255 d^2 < 2^64, so it is the
// exact quotient. Boxes of a single pixel or of more than 268 million pixels divide.
struct Divider {
    explicit Divider(uint64_t divisor)
        : d(divisor), m(divisor > 1 ? ~uint64_t(0) / divisor + 1 : 0),
          exact(divisor > 1 && (unsigned __int128)255 * divisor * divisor <= ~uint64_t(0)) {}
    template <bool Exact> uint64_t divide(uint64_t s) const {
        if constexpr (Exact)
            return uint64_t(((unsigned __int128)s * m) >> 64);
        else
            return s / d;
    }
    uint64_t d, m;
    bool exact;
};

struct BoxGeometry {
    int width, height;
    ptrdiff_t src_row_bytes, dst_row_bytes;
    int src_stride, dst_stride;
    int radius_y, radius_x;
};

template <typename T> std::unique_ptr<T[]> scratch(size_t count) {
    std::unique_ptr<T[]> p(new (std::nothrow) T[count]);
    if (!p) std::fprintf(stderr, "blur: cannot allocate %zu scratch entries\n", count);
    return p;
}

// Box blur of rows [y0, y1) of C channels. P > 0: P-byte pixels (src and dst point at byte 0 of
// the first pixel, the channels at bytes `first`..); every byte of a row gets a column sum, so the
// column update runs over contiguous memory and vectorises. P == 0: one channel at the run-time
// strides, src and dst pointing at it. sums holds width x max(P, 1) entries. False when the work
// was cancelled before the band was done.
template <int P, int C, bool Exact>
bool box_band(const uint8_t* src, uint8_t* dst, int first, const BoxGeometry& g, const Divider& div,
              uint32_t* sums, int y0, int y1) {
    constexpr int lanes = P > 0 ? P : 1;
    const int w = g.width, h = g.height, rx = g.radius_x, ry = g.radius_y;
    const size_t n = size_t(w) * lanes;
    const int ss = g.src_stride;
    const auto row = [&](int64_t y) { return src + y * g.src_row_bytes; };
    const auto add_row = [&](const uint8_t* a, uint32_t times) {
        if constexpr (P > 0) {
            for (size_t i = 0; i < n; ++i)
                sums[i] += times * a[i];
        } else {
            for (int x = 0; x < w; ++x)
                sums[x] += times * a[ptrdiff_t(x) * ss];
        }
    };

    // Column sums of the box around row y0; rows beyond the image repeat the edge rows.
    std::fill(sums, sums + n, 0u);
    const int64_t lo = int64_t(y0) - ry, hi = int64_t(y0) + ry;
    if (lo < 0) add_row(row(0), uint32_t(std::min<int64_t>(hi, -1) - lo + 1));
    for (int64_t k = std::max<int64_t>(lo, 0); k <= std::min<int64_t>(hi, h - 1); ++k)
        add_row(row(k), 1);
    if (hi > h - 1) add_row(row(h - 1), uint32_t(hi - std::max<int64_t>(lo, h) + 1));

    const uint32_t* cs = sums + (P > 0 ? first : 0);
    // Locals, not members: byte stores may alias anything, and would force reloads.
    const ptrdiff_t ds = g.dst_stride;
    const Divider dv = div;
    const int last = w - 1;
    const uint64_t left_repeats = uint64_t(rx);
    const uint64_t right_repeats = uint64_t(std::max<int64_t>(0, int64_t(rx) - last));
    for (int y = y0; y < y1; ++y) {
        if (graphics::workCancelled()) return false;
        uint8_t* out = dst + int64_t(y) * g.dst_row_bytes + (P > 0 ? first : 0);
        uint64_t s[C];
        for (int c = 0; c < C; ++c) {
            s[c] = left_repeats * cs[c] + right_repeats * cs[size_t(last) * lanes + c];
            for (int k = 0; k <= std::min(rx, last); ++k)
                s[c] += cs[size_t(k) * lanes + c];
        }
        const auto step = [&](int x, size_t in, size_t outgoing) {
            for (int c = 0; c < C; ++c) {
                out[x * ds + c] = uint8_t(dv.divide<Exact>(s[c]));
                s[c] += cs[in * lanes + c];
                s[c] -= cs[outgoing * lanes + c];
            }
        };
        const auto clamped = [&](int x) {
            step(x, size_t(int64_t(x) + rx < last ? x + rx + 1 : last), size_t(x > rx ? x - rx : 0));
        };
        // Only the ends clamp: the middle runs without tests.
        const int mid_begin = int(std::min<int64_t>(int64_t(rx) + 1, w));
        const int mid_end = int(std::max<int64_t>(mid_begin, int64_t(last) - rx));
        for (int x = 0; x < mid_begin; ++x)
            clamped(x);
        for (int x = mid_begin; x < mid_end; ++x)
            step(x, size_t(x + rx + 1), size_t(x - rx));
        for (int x = mid_end; x < w; ++x)
            clamped(x);
        if (y + 1 == y1) break;
        const uint8_t* a = row(std::min<int64_t>(int64_t(y) + ry + 1, h - 1));
        const uint8_t* b = row(std::max<int64_t>(int64_t(y) - ry, 0));
        if constexpr (P > 0) {
            for (size_t i = 0; i < n; ++i)
                sums[i] += uint32_t(a[i]) - uint32_t(b[i]);
        } else {
            for (int x = 0; x < w; ++x)
                sums[x] += uint32_t(a[ptrdiff_t(x) * ss]) - uint32_t(b[ptrdiff_t(x) * ss]);
        }
    }
    return true;
}

// Splits the rows into one band per thread; every band starts its column sums afresh, so the
// result does not depend on the split. The band at row 0 may use the caller's column sums.
// False when scratch memory ran out or the work was cancelled: rows are then missing.
template <int P, int C>
bool box_blur(const uint8_t* src, uint8_t* dst, int first, BoxGeometry g, uint32_t* caller_sums) {
    if (g.width <= 0 || g.height <= 0) return true;
    g.radius_x = std::max(g.radius_x, 0);
    g.radius_y = std::max(g.radius_y, 0);
    const Divider div((2 * uint64_t(g.radius_y) + 1) * (2 * uint64_t(g.radius_x) + 1));
    const size_t n = size_t(g.width) * (P > 0 ? P : 1);
    const int min_rows = std::max(16, (1 << 16) / g.width);
    std::atomic<bool> whole{true};
    graphics::parallelFor(g.height, min_rows, [&](int y0, int y1) {
        std::unique_ptr<uint32_t[]> own;
        uint32_t* sums = caller_sums;
        if (y0 != 0 || !sums || P > 1) {
            own = scratch<uint32_t>(n);
            if (!own) {
                whole = false;
                return;
            }
            sums = own.get();
        }
        const bool done = div.exact ? box_band<P, C, true>(src, dst, first, g, div, sums, y0, y1)
                                    : box_band<P, C, false>(src, dst, first, g, div, sums, y0, y1);
        if (!done) whole = false;
    });
    return whole && !graphics::workCancelled();
}

bool box_blur_4(const uint8_t* src, uint8_t* dst, int width, int height, int src_row_bytes, int dst_row_bytes,
                int radius_y, int radius_x, int first) {
    return box_blur<4, 3>(src, dst, first,
                          {width, height, src_row_bytes, dst_row_bytes, 4, 4, radius_y, radius_x}, nullptr);
}

int sobel_edge(int ul, int u, int ur, int l, int r, int dl, int d, int dr) {
    const int gx = ((ul + 2 * l + dl) - (ur + 2 * r + dr)) >> 1;
    const int gy = ((ul + 2 * u + ur) - (dl + 2 * d + dr)) >> 1;
    const int m = int(std::sqrt(float(gx * gx + gy * gy)));
    return 255 - std::min(m, 255);
}

// Edge map of the colour bytes colour..colour+2 into byte `edge` of out; rows row_bytes apart in
// both. border_255: the outermost pixels get 255; otherwise a missing neighbour counts as the
// centre pixel. last_as_previous: the last column reads as a copy of the one before it. False when
// scratch memory ran out or the work was cancelled.
bool edge_map(const uint8_t* src, uint8_t* out, int w, int h, ptrdiff_t row_bytes, int colour, int edge,
              bool border_255, bool last_as_previous) {
    if (w <= 0 || h <= 0) return true;
    std::atomic<bool> whole{true};
    graphics::parallelFor(h, std::max(8, (1 << 15) / w), [&](int y0, int y1) {
        auto buf = scratch<int>(size_t(w) * 3);
        if (!buf) {
            whole = false;
            return;
        }
        int* rows[3] = {buf.get(), buf.get() + w, buf.get() + 2 * w}; // y - 1, y, y + 1
        const auto load = [&](int y, int* s) {
            const uint8_t* p = src + y * row_bytes + colour;
            for (int x = 0; x < w; ++x)
                s[x] = p[4 * x] + p[4 * x + 1] + p[4 * x + 2];
            if (last_as_previous && w >= 2) s[w - 1] = s[w - 2];
        };
        if (y0 > 0) load(y0 - 1, rows[0]);
        load(y0, rows[1]);
        for (int y = y0; y < y1; ++y) {
            if (graphics::workCancelled()) return;
            if (y + 1 < h) load(y + 1, rows[2]);
            const int *up = rows[0], *mid = rows[1], *down = rows[2];
            const bool has_up = y > 0, has_down = y + 1 < h;
            uint8_t* o = out + y * row_bytes + edge;
            if (border_255 && (!has_up || !has_down)) {
                for (int x = 0; x < w; ++x)
                    o[4 * x] = 255;
            } else {
                // Generic form for pixels with missing neighbours.
                const auto at = [&](int x) {
                    const int c = mid[x];
                    if (border_255) return 255;
                    const auto v = [&](const int* r, bool ok, int xx) {
                        return ok && xx >= 0 && xx < w ? r[xx] : c;
                    };
                    return sobel_edge(v(up, has_up, x - 1), v(up, has_up, x), v(up, has_up, x + 1),
                                      v(mid, true, x - 1), v(mid, true, x + 1), v(down, has_down, x - 1),
                                      v(down, has_down, x), v(down, has_down, x + 1));
                };
                if (has_up && has_down) {
                    for (int x = 1; x + 1 < w; ++x)
                        o[4 * x] = uint8_t(sobel_edge(up[x - 1], up[x], up[x + 1], mid[x - 1], mid[x + 1],
                                                      down[x - 1], down[x], down[x + 1]));
                    o[0] = uint8_t(at(0));
                    if (w > 1) o[4 * (w - 1)] = uint8_t(at(w - 1));
                } else {
                    for (int x = 0; x < w; ++x)
                        o[4 * x] = uint8_t(at(x));
                }
            }
            std::rotate(rows, rows + 1, rows + 3);
        }
    });
    return whole && !graphics::workCancelled();
}

// Turns the mask in byte `mask` of every dst pixel into grey colour bytes with an opaque fourth byte.
void spread_mask(uint8_t* dst, int w, int h, ptrdiff_t row_bytes, int mask, int opaque) {
    if (w <= 0 || h <= 0) return;
    graphics::parallelFor(h, std::max(8, (1 << 16) / w), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            uint8_t* p = dst + y * row_bytes;
            for (int x = 0; x < w; ++x, p += 4) {
                const uint8_t v = p[mask];
                p[0] = p[1] = p[2] = p[3] = v;
                p[opaque] = 255;
            }
        }
    });
}

} // namespace

bool fast_blur(const uint8_t* src, uint8_t* dst, int width, int height, int src_row_bytes, int dst_row_bytes,
               int src_stride, int dst_stride, int radius_y, int radius_x, uint32_t* column_sums) {
    const BoxGeometry g{width,      height,     src_row_bytes, dst_row_bytes,
                        src_stride, dst_stride, radius_y,      radius_x};
    if (src_stride == 1) return box_blur<1, 1>(src, dst, 0, g, column_sums);
    return box_blur<0, 1>(src, dst, 0, g, column_sums);
}

bool fast_blur_argb(const uint8_t* src, uint8_t* dst, int width, int height, int src_row_bytes,
                    int dst_row_bytes, int radius_y, int radius_x) {
    return box_blur_4(src, dst, width, height, src_row_bytes, dst_row_bytes, radius_y, radius_x, 1);
}

bool fast_blur_rgba(const uint8_t* src, uint8_t* dst, int width, int height, int src_row_bytes,
                    int dst_row_bytes, int radius_y, int radius_x) {
    return box_blur_4(src, dst, width, height, src_row_bytes, dst_row_bytes, radius_y, radius_x, 0);
}

bool fast_blur_mono(const uint8_t* src, uint8_t* dst, int width, int height, int src_row_bytes,
                    int dst_row_bytes, int radius_y, int radius_x) {
    return fast_blur(src, dst, width, height, src_row_bytes, dst_row_bytes, 1, 1, radius_y, radius_x,
                     nullptr);
}

bool edges_detection_argb_to_alpha_channel(const uint8_t* src, uint8_t* dst, int width, int height,
                                           int row_bytes) {
    return edge_map(src, dst, width, height, row_bytes, 1, 0, false, false);
}

bool edges_detection_rgba_to_alpha_channel(uint8_t* buffer, int width, int height, int row_bytes) {
    return edge_map(buffer, buffer, width, height, row_bytes, 0, 3, true, false);
}

bool fast_blur_ed_argb(const uint8_t* src, uint8_t* dst, int width, int height, int src_row_bytes,
                       int dst_row_bytes, int radius_y, int radius_x) {
    if (!edge_map(src, dst, width, height, src_row_bytes, 1, 0, false, true)) return false;
    if (!box_blur<0, 1>(dst, dst + 1, 0,
                        {width, height, src_row_bytes, dst_row_bytes, 4, 4, radius_y, radius_x}, nullptr))
        return false;
    spread_mask(dst, width, height, dst_row_bytes, 1, 0);
    return true;
}

bool fast_blur_ed_rgba(uint8_t* src, uint8_t* dst, int width, int height, int src_row_bytes,
                       int dst_row_bytes, int radius_y, int radius_x) {
    if (!edge_map(src, src, width, height, src_row_bytes, 0, 3, true, true)) return false;
    if (!box_blur<0, 1>(src + 3, dst, 0,
                        {width, height, src_row_bytes, dst_row_bytes, 4, 4, radius_y, radius_x}, nullptr))
        return false;
    spread_mask(dst, width, height, dst_row_bytes, 0, 3);
    return true;
}

bool fast_blur_ed_argb_gaussian(const uint8_t* src, uint8_t* dst, int width, int height, int src_row_bytes,
                                int dst_row_bytes, int /*radius_y*/, int /*radius_x*/, const float* kernel,
                                int kernel_size, int step) {
    if (!edge_map(src, dst, width, height, src_row_bytes, 1, 0, false, true)) return false;
    if (!gaussianBlur(dst, dst + 1, width, height, kernel, kernel_size, 4, 4, step)) return false;
    spread_mask(dst, width, height, dst_row_bytes, 1, 0);
    return true;
}
