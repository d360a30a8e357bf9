#include "kernels/gaussian_blur.h"

#include "kernels/parallel_for.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
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
        for (size_t j = 0; j < 2 * size_t(k) + 1; ++j) row[j] /= s;
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

// store(i, sum) with sum = Σ_j double(float(taps[j][i]) x k[j]), j ascending, for i in [0, n).
// Every output keeps its own sum in that order, so computing many at once changes no bit; the
// block keeps its sums in registers across the taps.
template <typename T, typename Store>
void weighted_sums(const T* const* taps, const float* k, int ntaps, int n, Store store) {
    constexpr int B = 16;
    int i = 0;
    for (; i + B <= n; i += B) {
        double a[B] = {};
        for (int j = 0; j < ntaps; ++j) {
            const T* t = taps[j] + i;
            const float kj = k[j];
            for (int b = 0; b < B; ++b) a[b] += double(float(t[b]) * kj);
        }
        for (int b = 0; b < B; ++b) store(i + b, a[b]);
    }
    for (; i < n; ++i) {
        double a = 0;
        for (int j = 0; j < ntaps; ++j) a += double(float(taps[j][i]) * k[j]);
        store(i, a);
    }
}

// The same sum for one sample near an end of a line, where taps are mirrored.
template <typename T>
double mirrored_sum(const T* line, ptrdiff_t pitch, int i, int n, const float* k, int ntaps, int half) {
    double a = 0;
    for (int j = 0; j < ntaps; ++j) a += double(float(line[mirror(i, j - half, n) * pitch]) * k[j]);
    return a;
}

template <typename T>
std::unique_ptr<T[]> scratch(size_t count) {
    std::unique_ptr<T[]> p(new (std::nothrow) T[count]);
    if (!p) std::fprintf(stderr, "gaussian blur: cannot allocate %zu scratch entries\n", count);
    return p;
}

inline uint8_t truncated(double sum) { return uint8_t(int(sum)); }

} // namespace

void gaussianBlur(const uint8_t* src, uint8_t* dst, int width, int height, const float* kernel,
                  int kernel_size, int src_stride, int dst_stride, int step) {
    if (width <= 0 || height <= 0) return;
    step = std::max(step, 1);
    const int ntaps = std::max(kernel_size, 0);
    const int half = std::max((kernel_size - 1) / 2, 0);
    const int after = std::max(ntaps - 1 - half, 0);
    // Only the grid of every step-th row and column takes part: blur that grid with step 1.
    const int nx = (width - 1) / step + 1, ny = (height - 1) / step + 1;
    const int inner_begin = std::min(half, nx), inner_end = std::max(nx - after, inner_begin);
    auto inter = scratch<uint8_t>(size_t(nx) * ny);
    if (!inter) return;

    const int64_t ops_per_row = int64_t(nx) * std::max(ntaps, 1);
    kernel_parallel_for(ny, int(std::max<int64_t>(1, (1 << 16) / ops_per_row)), [&](int r0, int r1) {
        auto line = scratch<float>(size_t(nx));
        auto taps = scratch<const float*>(size_t(ntaps) + 1);
        if (!line || !taps) return;
        for (int r = r0; r < r1; ++r) {
            const uint8_t* s = src + int64_t(r) * step * width * src_stride;
            for (int i = 0; i < nx; ++i) line[i] = s[int64_t(i) * step * src_stride];
            uint8_t* out = inter.get() + size_t(r) * nx;
            for (int j = 0; j < ntaps; ++j) taps[j] = line.get() + j;
            weighted_sums(taps.get(), kernel, ntaps, inner_end - inner_begin,
                          [&](int i, double sum) { out[inner_begin + i] = truncated(sum); });
            for (int i = 0; i < inner_begin; ++i)
                out[i] = truncated(mirrored_sum(line.get(), 1, i, nx, kernel, ntaps, half));
            for (int i = inner_end; i < nx; ++i)
                out[i] = truncated(mirrored_sum(line.get(), 1, i, nx, kernel, ntaps, half));
        }
    });

    // Vertical pass in column strips, so the rows a strip reads stay in cache.
    constexpr int strip = 128;
    const int strips = (nx + strip - 1) / strip;
    const int64_t ops_per_strip = int64_t(std::min(nx, strip)) * ny * std::max(ntaps, 1);
    kernel_parallel_for(strips, int(std::max<int64_t>(1, (1 << 16) / ops_per_strip)), [&](int s0, int s1) {
        auto taps = scratch<const uint8_t*>(size_t(ntaps) + 1);
        if (!taps) return;
        for (int s = s0; s < s1; ++s) {
            const int c0 = s * strip, n = std::min(nx - c0, strip);
            for (int r = 0; r < ny; ++r) {
                for (int j = 0; j < ntaps; ++j)
                    taps[j] = inter.get() + size_t(mirror(r, j - half, ny)) * nx + c0;
                uint8_t* out = dst + (int64_t(r) * step * width + int64_t(c0) * step) * dst_stride;
                const int64_t pitch = int64_t(step) * dst_stride;
                weighted_sums(taps.get(), kernel, ntaps, n,
                              [&](int i, double sum) { out[i * pitch] = truncated(sum); });
            }
        }
    });
}

void gaussianBlurARGB(const uint8_t* src, uint8_t* dst, int width, int height, const float* kernel,
                      int kernel_size, int step) {
    for (int c = 1; c <= 3; ++c) gaussianBlur(src + c, dst + c, width, height, kernel, kernel_size, 4, 4, step);
}
