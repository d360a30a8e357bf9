#include "kernels/gaussian_blur.h"

#include "platform/graphics/ParallelRows.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

float* gaussianMatrixForRadius(unsigned r) {
    if (r == 0) return nullptr;
    const size_t row_len = 2 * size_t(r) + 1;
    auto* table = static_cast<float*>(std::calloc(row_len, size_t(r) * sizeof(float)));
    if (!table) {
        std::fprintf(stderr, "gaussian table: cannot allocate radius %u\n", r);
        return nullptr;
    }
    for (unsigned k = 1; k <= r; ++k) {
        float* row = table + (k - 1) * row_len;
        const double c = 1 / (k * 2.5066282746310002 * k * 0.25);
        double sum = 0;
        for (int64_t i = -int64_t(k); i <= int64_t(k); ++i) {
            const float e = float(std::exp(-(double(i * i) * c)) * c);
            row[i + k] = e;
            sum += e;
        }
        const float s = float(sum);
        for (size_t j = 0; j < 2 * size_t(k) + 1; ++j)
            row[j] /= s;
    }
    return table;
}

namespace {

// Sample index of tap offset d around grid index i of a line of n samples.
inline int mirror(int i, int d, int n) {
    int c = i + d;
    if (c < 0 || c >= n) c = std::clamp(i - d, 0, n - 1);
    return c;
}

// Compiler vector types: with them the blocks below keep 16 sums in registers across all taps,
// which plain loops do not get vectorised into.
typedef float float4 __attribute__((vector_size(16)));
typedef double double4 __attribute__((vector_size(32)));

// Not under ThreadSanitizer: the clone's resolver runs at load time, before its runtime is up.
#if defined(__x86_64__) && !defined(__SANITIZE_THREAD__)
#define WITH_AVX2_CLONE __attribute__((target_clones("avx2", "default")))
#else
#define WITH_AVX2_CLONE
#endif

// sums[i] = sum over j of double(taps[j][i] x k[j]) (a single-precision product), j ascending, for
// i in [0, n). Every output keeps its own sum in that order, so computing many at once changes no
// bit. On x86-64 it is built for AVX2 too, chosen at load time where the processor has it.
WITH_AVX2_CLONE void weighted_sums(const float* const* taps, const float* k, int ntaps, int n, double* sums) {
    constexpr int B = 16;
    int i = 0;
    for (; i + B <= n; i += B) {
        double4 a[B / 4] = {};
        for (int j = 0; j < ntaps; ++j) {
            const float* t = taps[j] + i;
            const float4 kj = {k[j], k[j], k[j], k[j]};
            for (int v = 0; v < B / 4; ++v) {
                float4 x;
                std::memcpy(&x, t + 4 * v, sizeof x);
                a[v] += __builtin_convertvector(x * kj, double4);
            }
        }
        std::memcpy(sums + i, a, sizeof a);
    }
    for (; i < n; ++i) {
        double a = 0;
        for (int j = 0; j < ntaps; ++j)
            a += double(taps[j][i] * k[j]);
        sums[i] = a;
    }
}

// The same sum for one sample near an end of a line, where taps are mirrored.
double mirrored_sum(const float* line, int i, int n, const float* k, int ntaps, int half) {
    double a = 0;
    for (int j = 0; j < ntaps; ++j)
        a += double(line[mirror(i, j - half, n)] * k[j]);
    return a;
}

template <typename T> std::unique_ptr<T[]> scratch(size_t count) {
    std::unique_ptr<T[]> p(new (std::nothrow) T[count]);
    if (!p) std::fprintf(stderr, "gaussian blur: cannot allocate %zu scratch entries\n", count);
    return p;
}

inline uint8_t truncated(double sum) {
    return uint8_t(int(sum));
}

// Weights summing to a hair under one would take a whole level off flat areas when truncated.
inline uint8_t nearest(double sum) {
    return uint8_t(std::clamp(int(std::lround(sum)), 0, 255));
}

// The blur runs on the grid of every step-th row and column only, with step 1 on that grid.
struct Grid {
    int width, step; // of the image
    int nx, ny;      // grid columns and rows
    const float* kernel;
    int ntaps, half;
    int inner_begin, inner_end; // grid columns whose taps all lie inside a row
    uint8_t (*to_byte)(double);
};

// Rows of the grid, each widened to floats, into the intermediate plane (nx x ny bytes). False when
// scratch memory ran out or the work was cancelled.
bool horizontal_pass(const Grid& g, const uint8_t* src, int src_stride, uint8_t* inter) {
    std::atomic<bool> whole{true};
    const int64_t ops_per_row = int64_t(g.nx) * std::max(g.ntaps, 1);
    graphics::parallelFor(g.ny, int(std::max<int64_t>(1, (1 << 16) / ops_per_row)), [&](int r0, int r1) {
        // Locals, not members: byte stores may alias anything, and would force reloads.
        const int nx = g.nx, begin = g.inner_begin, end = g.inner_end;
        const int64_t pitch = int64_t(g.step) * src_stride,
                      row_pitch = int64_t(g.step) * g.width * src_stride;
        auto line = scratch<float>(size_t(nx));
        auto sums = scratch<double>(size_t(nx));
        auto taps = scratch<const float*>(size_t(g.ntaps) + 1);
        if (!line || !sums || !taps) {
            whole = false;
            return;
        }
        for (int j = 0; j < g.ntaps; ++j)
            taps[j] = line.get() + j;
        float* l = line.get();
        const double* sum = sums.get();
        for (int r = r0; r < r1; ++r) {
            if (graphics::workCancelled()) return;
            const uint8_t* s = src + r * row_pitch;
            for (int i = 0; i < nx; ++i)
                l[i] = s[i * pitch];
            weighted_sums(taps.get(), g.kernel, g.ntaps, end - begin, sums.get());
            uint8_t* out = inter + size_t(r) * nx;
            for (int i = begin; i < end; ++i)
                out[i] = g.to_byte(sum[i - begin]);
            for (int i = 0; i < begin; ++i)
                out[i] = g.to_byte(mirrored_sum(l, i, nx, g.kernel, g.ntaps, g.half));
            for (int i = end; i < nx; ++i)
                out[i] = g.to_byte(mirrored_sum(l, i, nx, g.kernel, g.ntaps, g.half));
        }
    });
    return whole && !graphics::workCancelled();
}

// Columns of the intermediate plane into dst, in strips each first widened to floats, so that
// the rows a strip reads stay in cache. False when scratch memory ran out or the work was cancelled.
bool vertical_pass(const Grid& g, const uint8_t* inter, uint8_t* dst, int dst_stride) {
    std::atomic<bool> whole{true};
    constexpr int strip = 128;
    const int strips = (g.nx + strip - 1) / strip;
    const int64_t ops_per_strip = int64_t(std::min(g.nx, strip)) * g.ny * std::max(g.ntaps, 1);
    graphics::parallelFor(strips, int(std::max<int64_t>(1, (1 << 16) / ops_per_strip)), [&](int s0, int s1) {
        const int nx = g.nx, ny = g.ny;
        const int64_t pitch = int64_t(g.step) * dst_stride,
                      row_pitch = int64_t(g.step) * g.width * dst_stride;
        auto columns = scratch<float>(size_t(ny) * strip);
        auto sums = scratch<double>(size_t(strip));
        auto taps = scratch<const float*>(size_t(g.ntaps) + 1);
        if (!columns || !sums || !taps) {
            whole = false;
            return;
        }
        float* col = columns.get();
        const double* sum = sums.get();
        for (int s = s0; s < s1; ++s) {
            const int c0 = s * strip, n = std::min(nx - c0, strip);
            for (int r = 0; r < ny; ++r) {
                const uint8_t* in = inter + size_t(r) * nx + c0;
                for (int i = 0; i < n; ++i)
                    col[size_t(r) * strip + i] = in[i];
            }
            for (int r = 0; r < ny; ++r) {
                if (graphics::workCancelled()) return;
                for (int j = 0; j < g.ntaps; ++j)
                    taps[j] = col + size_t(mirror(r, j - g.half, ny)) * strip;
                weighted_sums(taps.get(), g.kernel, g.ntaps, n, sums.get());
                uint8_t* out = dst + r * row_pitch + c0 * pitch;
                for (int i = 0; i < n; ++i)
                    out[i * pitch] = g.to_byte(sum[i]);
            }
        }
    });
    return whole && !graphics::workCancelled();
}

// gaussianBlur of `channels` neighbouring bytes of each pixel, one after the other through one
// intermediate plane.
bool gaussian_channels(const uint8_t* src, uint8_t* dst, int width, int height, const float* kernel,
                       int kernel_size, int src_stride, int dst_stride, int step, int channels, bool rounded) {
    if (width <= 0 || height <= 0) return true;
    step = std::max(step, 1);
    Grid g{};
    g.width = width;
    g.step = step;
    g.nx = (width - 1) / step + 1;
    g.ny = (height - 1) / step + 1;
    g.kernel = kernel;
    g.to_byte = rounded ? nearest : truncated;
    g.ntaps = std::max(kernel_size, 0);
    g.half = std::max((kernel_size - 1) / 2, 0);
    g.inner_begin = std::min(g.half, g.nx);
    g.inner_end = std::max(g.nx - std::max(g.ntaps - 1 - g.half, 0), g.inner_begin);
    auto inter = scratch<uint8_t>(size_t(g.nx) * g.ny);
    if (!inter) return false;
    for (int c = 0; c < channels; ++c)
        if (!horizontal_pass(g, src + c, src_stride, inter.get()) || !vertical_pass(g, inter.get(), dst + c, dst_stride))
            return false;
    return true;
}

} // namespace

bool gaussianBlur(const uint8_t* src, uint8_t* dst, int width, int height, const float* kernel,
                  int kernel_size, int src_stride, int dst_stride, int step, bool rounded) {
    return gaussian_channels(src, dst, width, height, kernel, kernel_size, src_stride, dst_stride, step, 1, rounded);
}

bool gaussianBlurARGB(const uint8_t* src, uint8_t* dst, int width, int height, const float* kernel,
                      int kernel_size, int step, bool rounded) {
    return gaussian_channels(src + 1, dst + 1, width, height, kernel, kernel_size, 4, 4, step, 3, rounded);
}
