#pragma once
// Direct, unoptimised forms of the blur kernels' arithmetic for comparison in tests.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace blur_reference {

inline std::vector<uint8_t> random_bytes(size_t count, uint32_t seed, int max_value = 255) {
    std::mt19937 gen(seed);
    std::uniform_int_distribution<int> dist(0, max_value);
    std::vector<uint8_t> v(count);
    for (auto& b : v)
        b = uint8_t(dist(gen));
    return v;
}

// Clamp-to-edge box average of one channel, truncated.
inline uint8_t box_at(const uint8_t* src, int w, int h, int row_bytes, int stride, int ry, int rx, int x,
                      int y) {
    uint64_t sum = 0;
    for (int dy = -ry; dy <= ry; ++dy)
        for (int dx = -rx; dx <= rx; ++dx) {
            const int sy = std::clamp(y + dy, 0, h - 1), sx = std::clamp(x + dx, 0, w - 1);
            sum += src[sy * row_bytes + sx * stride];
        }
    return uint8_t(sum / (uint64_t(2 * ry + 1) * uint64_t(2 * rx + 1)));
}

inline int sobel(int ul, int u, int ur, int l, int r, int dl, int d, int dr) {
    const int gx = ((ul + 2 * l + dl) - (ur + 2 * r + dr)) >> 1;
    const int gy = ((ul + 2 * u + ur) - (dl + 2 * d + dr)) >> 1;
    return 255 - std::min(int(std::sqrt(float(gx * gx + gy * gy))), 255);
}

// Sum of the three colour bytes at `colour`; the last column reads as the one before when asked.
inline int colour_sum(const uint8_t* p, int w, int row_bytes, int colour, int x, int y,
                      bool last_as_previous) {
    if (last_as_previous && w >= 2 && x == w - 1) x = w - 2;
    const uint8_t* q = p + y * row_bytes + 4 * x + colour;
    return q[0] + q[1] + q[2];
}

// ARGB edge value at (x, y): a neighbour outside the image counts as the centre pixel.
inline uint8_t edge_argb(const uint8_t* p, int w, int h, int row_bytes, int x, int y,
                         bool last_as_previous = false) {
    const int c = colour_sum(p, w, row_bytes, 1, x, y, last_as_previous);
    const auto n = [&](int dx, int dy) {
        const int nx = x + dx, ny = y + dy;
        if (nx < 0 || nx >= w || ny < 0 || ny >= h) return c;
        return colour_sum(p, w, row_bytes, 1, nx, ny, last_as_previous);
    };
    return uint8_t(sobel(n(-1, -1), n(0, -1), n(1, -1), n(-1, 0), n(1, 0), n(-1, 1), n(0, 1), n(1, 1)));
}

// RGBA edge value at (x, y): 255 on the outermost pixels.
inline uint8_t edge_rgba(const uint8_t* p, int w, int h, int row_bytes, int x, int y,
                         bool last_as_previous = false) {
    if (x == 0 || y == 0 || x == w - 1 || y == h - 1) return 255;
    const auto n = [&](int dx, int dy) {
        return colour_sum(p, w, row_bytes, 0, x + dx, y + dy, last_as_previous);
    };
    return uint8_t(sobel(n(-1, -1), n(0, -1), n(1, -1), n(-1, 0), n(1, 0), n(-1, 1), n(0, 1), n(1, 1)));
}

// Index of the sample d x step away from v on a line of n pixels visited every step-th pixel:
// mirrored about v when outside, then kept on the last visited pixel.
inline int mirrored(int v, int d, int step, int n) {
    int c = v + d * step;
    if (c < 0 || c > n - 1) c = v - d * step;
    return std::clamp(c, 0, (n - 1) / step * step);
}

// Two-pass gaussian of one channel with a zero-filled intermediate plane, as a plain loop nest;
// `rounded` takes each pass to the nearest byte instead of truncating.
inline void gaussian(const uint8_t* src, uint8_t* dst, int w, int h, const float* k, int size, int sstride,
                     int dstride, int step, bool rounded = false) {
    const int half = (size - 1) / 2;
    const auto byte = [rounded](double sum) {
        return rounded ? uint8_t(std::clamp(int(std::lround(sum)), 0, 255)) : uint8_t(int(sum));
    };
    std::vector<uint8_t> mid(size_t(w) * h, 0);
    for (int y = 0; y < h; y += step)
        for (int x = 0; x < w; x += step) {
            double sum = 0;
            for (int j = 0; j < size; ++j)
                sum += float(src[(y * w + mirrored(x, j - half, step, w)) * sstride]) * k[j];
            mid[y * w + x] = byte(sum);
        }
    for (int y = 0; y < h; y += step)
        for (int x = 0; x < w; x += step) {
            double sum = 0;
            for (int j = 0; j < size; ++j)
                sum += float(mid[mirrored(y, j - half, step, h) * w + x]) * k[j];
            dst[(x + y * w) * dstride] = byte(sum);
        }
}

} // namespace blur_reference
