#include "kernels/drawing/lines.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

namespace {

int64_t sign(int64_t v) {
    return (v > 0) - (v < 0);
}

// Calls plot(x, y) for the pixels of the Bresenham line from (x0, y0) to (x1, y1) whose major
// coordinate lies in lo..hi of the major axis (x_lo..x_hi when x is major, else y_lo..y_hi).
// The steps before the first such pixel are skipped in closed form (after k steps the minor
// axis has moved floor((2 short k + long) / (2 long)) times), so end points far outside a
// buffer cost nothing and the pixels drawn are exactly those of the full walk.
template <class Plot>
void walk_line(int x0, int y0, int x1, int y1, int64_t x_lo, int64_t x_hi, int64_t y_lo, int64_t y_hi,
               Plot&& plot) {
    const int64_t dx = int64_t(x1) - x0, dy = int64_t(y1) - y0;
    const bool y_major = std::abs(dx) < std::abs(dy);
    const int64_t major0 = y_major ? y0 : x0, minor0 = y_major ? x0 : y0;
    const int64_t d_major = y_major ? dy : dx, d_minor = y_major ? dx : dy;
    const int64_t lo = y_major ? y_lo : x_lo, hi = y_major ? y_hi : x_hi;
    const int64_t s_major = sign(d_major), s_minor = sign(d_minor);
    const int64_t len = std::abs(d_major), shrt = std::abs(d_minor);

    // Step k puts the major coordinate at major0 + k * s_major, k = 0..len.
    int64_t first = 0, last = len;
    if (s_major > 0) {
        first = std::max(first, lo - major0);
        last = std::min(last, hi - major0);
    } else if (s_major < 0) {
        first = std::max(first, major0 - hi);
        last = std::min(last, major0 - lo);
    } else if (major0 < lo || major0 > hi) {
        return;
    }
    if (first > last) return;

    int64_t moved = 0, err = 2 * shrt - len;
    if (first > 0) {
        // The products reach 2^65 for end points at opposite ends of the int range.
        const __int128 two_len = __int128(2) * len;
        moved = int64_t((__int128(2) * shrt * first + len) / two_len);
        err = int64_t(__int128(2) * shrt * (first + 1) - len - two_len * moved);
    }
    int64_t major = major0 + s_major * first, minor = minor0 + s_minor * moved;
    for (int64_t k = first;; ++k) {
        if (y_major)
            plot(minor, major);
        else
            plot(major, minor);
        if (k == last) break;
        if (err >= 0) {
            minor += s_minor;
            err -= 2 * len;
        }
        major += s_major;
        err += 2 * shrt;
    }
}

// The clipped walk shared by both line writers: put(pixel) for every pixel in the buffer.
template <class Put>
void clipped_line(uint8_t* data, int width, int height, int row_bytes, int x0, int y0, int x1, int y1,
                  Put&& put) {
    if (!data || width <= 0 || height <= 0) return;
    walk_line(x0, y0, x1, y1, 0, width - 1, 0, height - 1, [&](int64_t x, int64_t y) {
        if (y >= 0 && y < height && x >= 0 && x < width)
            put(data + size_t(y) * size_t(row_bytes) + size_t(x) * 4);
    });
}

// Calls span(row, lo, hi) for every image row the quadrilateral covers, with lo <= x < hi the
// pixels inside it.
template <class Span>
void quadr_spans(int width, int height, const int (&xs)[4], const int (&ys)[4], Span&& span) {
    if (width <= 0 || height <= 0) return;
    // Rows -height .. 2 height of the edges; the untouched extremes mark rows no edge visits
    // (the widest sentinels, so that wide images are not cut off).
    std::vector<int> mins, maxs;
    try {
        mins.assign(3 * size_t(height) + 1, INT_MAX);
        maxs.assign(3 * size_t(height) + 1, INT_MIN);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "quadrilateral: out of memory for height %d\n", height);
        return;
    }
    int* min = mins.data() + height;
    int* max = maxs.data() + height;
    int rows[4];
    for (int i = 0; i < 4; ++i)
        rows[i] = std::clamp(ys[i], -height, 2 * height - 1);
    for (int i = 0; i < 4; ++i) {
        const int j = (i + 1) % 4;
        MinMaxLine(min, max, xs[i], rows[i], xs[j], rows[j]);
    }
    for (int row = 0; row < height; ++row) {
        if (min[row] >= max[row]) continue;
        const int lo = std::max(min[row], 0);
        const int hi = max[row] <= width ? max[row] : width - 1;
        span(row, lo, hi);
    }
}

} // namespace

void draw_line_alpha(uint8_t* data, int width, int height, int row_bytes, int x0, int y0, int x1, int y1,
                     uint32_t value) {
    const uint8_t alpha = uint8_t(value);
    clipped_line(data, width, height, row_bytes, x0, y0, x1, y1, [alpha](uint8_t* p) { p[0] = alpha; });
}

void draw_line(uint8_t* data, int width, int height, int row_bytes, int x0, int y0, int x1, int y1,
               uint32_t value) {
    clipped_line(data, width, height, row_bytes, x0, y0, x1, y1,
                 [value](uint8_t* p) { std::memcpy(p, &value, 4); });
}

int intersect(float* x, float* y, float a1, float b1, float c1, float a2, float b2, float c2) {
    const float det = a1 * b2 - b1 * a2;
    if (std::fabs(det) < 1e-9) return 0;
    *x = -(b2 * c1 - b1 * c2) / det;
    *y = -(a1 * c2 - a2 * c1) / det;
    return 1;
}

bool equivalent(float a1, float b1, float c1, float a2, float b2, float c2) {
    const float q = a1 / a2;
    return std::fabs(q - b1 / b2) < 1.0f && std::fabs(q - c1 / c2) < 1.0f;
}

float dist_to_line(float theta, float rho, float x, float y) {
    return float(x * std::cos(double(theta)) + y * std::sin(double(theta)) - rho);
}

int intersect_line_rect(float theta, float rho, float width, float height, float* x0, float* y0, float* x1,
                        float* y1) {
    const double radians = theta * 0.017453292519943295;
    const double c = std::cos(radians), s = std::sin(radians);
    // Sides as A x + B y + C = 0 about the image centre; the horizontal ones keep points
    // by X, the vertical ones by Y.
    const float sides[4][3] = {
        {0, 1, -1.5f * height}, {-1, 0, -1.5f * width}, {0, -1, -1.5f * height}, {1, 0, -1.5f * width}};
    double xs[2], ys[2];
    int kept = 0;
    for (int i = 0; i < 4; ++i) {
        const float a = sides[i][0], b = sides[i][1], k = sides[i][2];
        const double det = c * b - s * a;
        if (std::fabs(det) < 1e-9) continue;
        const double x = width / 2 + (b * rho + s * k) / det;
        const double y = height / 2 - (k * c + a * rho) / det;
        const bool inside = i % 2 == 0 ? -width <= x && x < 2 * width : -height <= y && y < 2 * height;
        if (!inside) continue;
        // A line through a corner meets two sides there: one end, not two.
        if (kept == 2 || (kept == 1 && xs[0] == x && ys[0] == y)) continue;
        xs[kept] = x;
        ys[kept] = y;
        ++kept;
    }
    if (kept != 2) return 0;
    *x0 = float(xs[0]);
    *y0 = float(ys[0]);
    *x1 = float(xs[1]);
    *y1 = float(ys[1]);
    return 1;
}

void MinMaxLine(int* min, int* max, int x0, int row0, int x1, int row1) {
    walk_line(x0, row0, x1, row1, INT_MIN, INT_MAX, INT_MIN, INT_MAX, [=](int64_t x, int64_t row) {
        min[row] = std::min(min[row], int(x));
        max[row] = std::max(max[row], int(x));
    });
}

uint64_t get_quadr_brightness(const uint8_t* data, int width, int height, int row_bytes, int x0, int y0,
                              int x1, int y1, int x2, int y2, int x3, int y3) {
    if (!data) return 0;
    uint64_t sum = 0;
    quadr_spans(width, height, {x0, x1, x2, x3}, {y0, y1, y2, y3}, [&](int row, int lo, int hi) {
        const uint8_t* line = data + size_t(row) * size_t(row_bytes);
        for (int x = lo; x < hi; ++x)
            sum += line[x];
    });
    return sum;
}

void fill_quadr(uint8_t* data, int width, int height, int row_bytes, int x0, int y0, int x1, int y1, int x2,
                int y2, int x3, int y3) {
    if (!data) return;
    quadr_spans(width, height, {x0, x1, x2, x3}, {y0, y1, y2, y3}, [&](int row, int lo, int hi) {
        uint8_t* line = data + size_t(row) * size_t(row_bytes);
        for (int x = lo; x < hi; ++x)
            line[size_t(x) * 4 + 2] = 255;
    });
}
