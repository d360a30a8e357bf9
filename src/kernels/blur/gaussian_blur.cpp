#include "kernels/blur/gaussian_blur.h"

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

// The same sum for one sample of a line, taps mirrored at its ends: single-precision products
// accumulated in double, j ascending.
double mirrored_sum(const float* line, int i, int n, const float* k, int ntaps, int half) {
    double a = 0;
    for (int j = 0; j < ntaps; ++j)
        a += double(line[mirror(i, j - half, n)] * k[j]);
    return a;
}

// Zeroed unless every entry is written before it is read: padding and strip tails are read too.
template <typename T> std::unique_ptr<T[]> scratch(size_t count, bool zeroed = true) {
    std::unique_ptr<T[]> p(zeroed ? new (std::nothrow) T[count]() : new (std::nothrow) T[count]);
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

// Outputs are made sixteen at a time; compiler vector types keep a block's sums in registers
// across all taps, which plain loops do not get vectorised into.
constexpr int kLanes = 16;
typedef float floatv __attribute__((vector_size(4 * kLanes)));
typedef int32_t intv __attribute__((vector_size(4 * kLanes)));
typedef double half_doublev __attribute__((vector_size(4 * kLanes)));
typedef uint8_t bytev __attribute__((vector_size(kLanes)));

// Grid columns of a strip of the vertical pass: its floats stay in the second-level cache.
constexpr int kStrip = 64;

// A whole level is 2^23 units of the fast sums below.
constexpr int kUnitBits = 23;

// The weights of a blur and what the fast sums need of them.
struct Weights {
    const float* k;
    const float* scaled; // k x 2^23, exact: a power of two commutes with rounding
    int ntaps, half;
    bool fast; // the fast sums are sound for these weights (see fast_sums_are_sound)
    bool rounded;
};

// The fast sums add the products truncated to whole units in 32-bit integers. Each truncation
// takes under a unit off, and the double sum of the same single-precision products differs from
// their exact sum by far less than a unit (ntaps x 2^-53 relative), so that double sum lies in
// [T - 1, T + ntaps + 1] units, T the integer sum. Where both ends give the same byte, that byte
// is the one the double sum gives; elsewhere (a sum within a few millionths of a level step) the
// block is summed in double. Sound for non-negative weights whose sums of 255 x weight stay
// below 255.25, so that no integer sum overflows; other kernels take the double sums throughout.
bool fast_sums_are_sound(const float* k, int ntaps) {
    if (ntaps < 1 || ntaps > (1 << 16)) return false;
    double total = 0;
    for (int j = 0; j < ntaps; ++j) {
        if (!(k[j] >= 0.0f) || !std::isfinite(k[j])) return false;
        total += k[j];
    }
    return total * 255.0 * (1.0 + 1e-6) < 255.25;
}

// What the run-time clones are built for. Not under ThreadSanitizer: a clone's resolver runs at
// load time, before its runtime is up.
#if defined(__x86_64__) && !defined(__SANITIZE_THREAD__)
#define WITH_CLONES __attribute__((target_clones("avx512f", "avx2", "default")))
#else
#define WITH_CLONES
#endif

#define ALWAYS_INLINE inline __attribute__((always_inline))
// Sixteen-lane vectors pass through no call: everything taking them is inlined.
#pragma GCC diagnostic ignored "-Wpsabi"

ALWAYS_INLINE bool all_zero(intv v) {
    typedef int32_t half_intv __attribute__((vector_size(2 * kLanes)));
    typedef int32_t quarter_intv __attribute__((vector_size(kLanes)));
    const half_intv h = __builtin_shufflevector(v, v, 0, 1, 2, 3, 4, 5, 6, 7) |
                        __builtin_shufflevector(v, v, 8, 9, 10, 11, 12, 13, 14, 15);
    const quarter_intv q =
        __builtin_shufflevector(h, h, 0, 1, 2, 3) | __builtin_shufflevector(h, h, 4, 5, 6, 7);
    return (q[0] | q[1] | q[2] | q[3]) == 0;
}

ALWAYS_INLINE floatv load(const float* p) {
    floatv v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Samples of tap j for the block at index i of a line (rows of the vertical pass, a line's
// inside), one pointer per tap.
struct TapRows {
    const float* const* taps;
    int i;
    ALWAYS_INLINE floatv operator()(int j) const { return load(taps[j] + i); }
};

// Samples of tap j for a block wholly inside a line (stride 1) or a column strip (stride its
// width), p pointing at the samples of tap 0.
struct Along {
    const float* p;
    size_t stride;
    ALWAYS_INLINE floatv operator()(int j) const { return load(p + size_t(j) * stride); }
};

// Samples of tap j for a block of a line that reaches one of its ends: where i + d leaves the
// line the tap reads i - d, mirrored about the output sample. Needs n >= ntaps, so that the
// mirrored index is always inside, and padding around the line for the lanes not used.
struct MirroredLine {
    const float* line;
    int i, n, half;
    ALWAYS_INLINE floatv operator()(int j) const {
        const int d = j - half;
        intv index;
        for (int l = 0; l < kLanes; ++l)
            index[l] = i + l + d;
        return (index < 0) | (index >= n) ? load(line + i - d) : load(line + i + d);
    }
};

ALWAYS_INLINE uint8_t to_byte(double sum, bool rounded) {
    return rounded ? nearest(sum) : truncated(sum);
}

// Sixteen outputs of sum over j of double(sample(j) x k[j]), j ascending, as bytes into out.
template <class Samples> ALWAYS_INLINE void block(const Samples& sample, const Weights& w, uint8_t* out) {
    if (w.fast) {
        intv t = {};
        for (int j = 0; j < w.ntaps; ++j)
            t += __builtin_convertvector(sample(j) * w.scaled[j], intv);
        const intv zero = {};
        const intv lo = t < 1 ? zero : t - 1;
        const intv hi = t + (w.ntaps + 1);
        const int32_t bias = w.rounded ? 1 << (kUnitBits - 1) : 0;
        const intv a = (lo + bias) >> kUnitBits, b = (hi + bias) >> kUnitBits;
        if (all_zero(a ^ b)) {
            const intv limit = {255, 255, 255, 255, 255, 255, 255, 255,
                                255, 255, 255, 255, 255, 255, 255, 255};
            const bytev bytes = __builtin_convertvector(a < limit ? a : limit, bytev);
            std::memcpy(out, &bytes, sizeof bytes);
            return;
        }
    }
    half_doublev low = {}, high = {};
    for (int j = 0; j < w.ntaps; ++j) {
        const floatv p = sample(j) * w.k[j];
        low += __builtin_convertvector(__builtin_shufflevector(p, p, 0, 1, 2, 3, 4, 5, 6, 7), half_doublev);
        high += __builtin_convertvector(__builtin_shufflevector(p, p, 8, 9, 10, 11, 12, 13, 14, 15),
                                        half_doublev);
    }
    for (int l = 0; l < kLanes / 2; ++l) {
        out[l] = to_byte(low[l], w.rounded);
        out[l + kLanes / 2] = to_byte(high[l], w.rounded);
    }
}

// Outputs begin .. end - 1, sixteen at a time, written every pitch bytes; the last block's extra
// lanes are computed from whatever the samples hold past the end and dropped.
template <class Samples, class At>
ALWAYS_INLINE void blocks(int begin, int end, const Weights& w, uint8_t* out, int64_t pitch, At at) {
    uint8_t bytes[kLanes];
    for (int i = begin; i < end; i += kLanes) {
        const Samples sample = at(i);
        if (pitch == 1 && i + kLanes <= end) {
            block(sample, w, out + i);
            continue;
        }
        block(sample, w, bytes);
        for (int l = 0, m = std::min(kLanes, end - i); l < m; ++l)
            out[(i + l) * pitch] = bytes[l];
    }
}

// One line of n samples (with ntaps + kLanes floats of padding before and after) into n bytes.
WITH_CLONES void blur_line(const float* line, int n, const Weights& w, uint8_t* out) {
    if (n < w.ntaps) {
        for (int i = 0; i < n; ++i)
            out[i] = to_byte(mirrored_sum(line, i, n, w.k, w.ntaps, w.half), w.rounded);
        return;
    }
    // Blocks wholly inside read their taps straight along the line.
    const int inner_begin = (w.half + kLanes - 1) / kLanes * kLanes;
    const int inner_end =
        std::max(inner_begin, inner_begin + (n - (w.ntaps - 1 - w.half) - inner_begin) / kLanes * kLanes);
    const auto mirrored = [&](int i) { return MirroredLine{line, i, n, w.half}; };
    blocks<MirroredLine>(0, std::min(inner_begin, n), w, out, 1, mirrored);
    const float* const base = line - w.half;
    for (int i = inner_begin; i < inner_end; i += kLanes)
        block(Along{base + i, 1}, w, out + i);
    blocks<MirroredLine>(inner_end, n, w, out, 1, mirrored);
}

// One output row of the vertical pass: n columns from the rows the taps point at, written every
// pitch bytes.
WITH_CLONES void blur_columns(const float* const* taps, int n, const Weights& w, uint8_t* out,
                              int64_t pitch) {
    blocks<TapRows>(0, n, w, out, pitch, [&](int i) { return TapRows{taps, i}; });
}

// The same where the taps are consecutive rows of a strip, the first at first.
WITH_CLONES void blur_strip_rows(const float* first, size_t strip, int n, const Weights& w, uint8_t* out,
                                 int64_t pitch) {
    blocks<Along>(0, n, w, out, pitch, [&](int i) { return Along{first + i, strip}; });
}

// The blur runs on the grid of every step-th row and column only, with step 1 on that grid.
struct Grid {
    int width, step; // of the image
    int nx, ny;      // grid columns and rows
    int channels;    // neighbouring bytes of a pixel blurred, each through its own plane
    Weights w;
    // The intermediate planes hold strips of kStrip grid columns, each strip's rows one after
    // the other, so that the vertical pass reads along memory.
    int strips;
    size_t strip_bytes() const { return size_t(ny) * kStrip; }
    size_t plane_bytes() const { return strip_bytes() * size_t(strips); }
};

// Rows of the grid, all channels of a row read at once and widened to floats, into one
// intermediate plane per channel. False when scratch memory ran out or the
// work was cancelled.
bool horizontal_pass(const Grid& g, const uint8_t* src, int src_stride, uint8_t* inter) {
    std::atomic<bool> whole{true};
    const int64_t ops_per_row = int64_t(g.nx) * g.channels * std::max(g.w.ntaps, 1);
    graphics::parallelFor(g.ny, int(std::max<int64_t>(1, (1 << 16) / ops_per_row)), [&](int r0, int r1) {
        // Locals, not members: byte stores may alias anything, and would force reloads.
        const int nx = g.nx, channels = g.channels;
        const int64_t pitch = int64_t(g.step) * src_stride,
                      row_pitch = int64_t(g.step) * g.width * src_stride;
        const size_t pad = size_t(g.w.ntaps) + kLanes, span = size_t(nx) + 2 * pad;
        auto lines = scratch<float>(span * size_t(channels));
        auto bytes = scratch<uint8_t>(size_t(g.strips) * kStrip);
        if (!lines || !bytes) {
            whole = false;
            return;
        }
        for (int r = r0; r < r1; ++r) {
            if (graphics::workCancelled()) return;
            const uint8_t* s = src + r * row_pitch;
            for (int c = 0; c < channels; ++c) {
                float* l = lines.get() + size_t(c) * span + pad;
                for (int i = 0; i < nx; ++i)
                    l[i] = s[i * pitch + c];
            }
            for (int c = 0; c < channels; ++c) {
                blur_line(lines.get() + size_t(c) * span + pad, nx, g.w, bytes.get());
                uint8_t* tile = inter + size_t(c) * g.plane_bytes() + size_t(r) * kStrip;
                for (int t = 0; t < g.strips; ++t)
                    std::memcpy(tile + size_t(t) * g.strip_bytes(), bytes.get() + size_t(t) * kStrip, kStrip);
            }
        }
    });
    return whole && !graphics::workCancelled();
}

// Columns of the intermediate planes into dst, in strips each first widened to floats, so that
// the rows a strip reads stay in cache; the planes of one strip one after the other, so that its
// pixels in dst stay in cache too. False when scratch memory ran out or the work was cancelled.
bool vertical_pass(const Grid& g, const uint8_t* inter, uint8_t* dst, int dst_stride) {
    std::atomic<bool> whole{true};
    constexpr int strip = kStrip;
    const int strips = g.strips;
    const int64_t ops_per_strip = int64_t(std::min(g.nx, strip)) * g.ny * std::max(g.w.ntaps, 1);
    graphics::parallelFor(
        strips * g.channels, int(std::max<int64_t>(1, (1 << 16) / ops_per_strip)), [&](int s0, int s1) {
            const int nx = g.nx, ny = g.ny;
            const int64_t pitch = int64_t(g.step) * dst_stride,
                          row_pitch = int64_t(g.step) * g.width * dst_stride;
            auto columns = scratch<float>(size_t(ny) * strip);
            auto taps = scratch<const float*>(size_t(g.w.ntaps) + 1);
            if (!columns || !taps) {
                whole = false;
                return;
            }
            float* col = columns.get();
            for (int item = s0; item < s1; ++item) {
                const int s = item / g.channels, c = item % g.channels;
                const int c0 = s * strip, n = std::min(nx - c0, strip);
                const uint8_t* in = inter + size_t(c) * g.plane_bytes() + size_t(s) * g.strip_bytes();
                for (size_t i = 0, m = g.strip_bytes(); i < m; ++i)
                    col[i] = in[i];
                for (int r = 0; r < ny; ++r) {
                    if (graphics::workCancelled()) return;
                    uint8_t* out = dst + r * row_pitch + c0 * pitch + c;
                    if (r >= g.w.half && r + g.w.ntaps - g.w.half <= ny) {
                        blur_strip_rows(col + size_t(r - g.w.half) * strip, strip, n, g.w, out, pitch);
                        continue;
                    }
                    for (int j = 0; j < g.w.ntaps; ++j)
                        taps[j] = col + size_t(mirror(r, j - g.w.half, ny)) * strip;
                    blur_columns(taps.get(), n, g.w, out, pitch);
                }
            }
        });
    return whole && !graphics::workCancelled();
}

// gaussianBlur of `channels` neighbouring bytes of each pixel.
bool gaussian_channels(const uint8_t* src, uint8_t* dst, int width, int height, const float* kernel,
                       int kernel_size, int src_stride, int dst_stride, int step, int channels,
                       bool rounded) {
    if (width <= 0 || height <= 0) return true;
    step = std::max(step, 1);
    Grid g{};
    g.width = width;
    g.step = step;
    g.nx = (width - 1) / step + 1;
    g.ny = (height - 1) / step + 1;
    g.channels = channels;
    g.w.k = kernel;
    g.w.ntaps = std::max(kernel_size, 0);
    g.w.half = std::max((kernel_size - 1) / 2, 0);
    g.w.rounded = rounded;
    g.w.fast = fast_sums_are_sound(kernel, g.w.ntaps);
    auto scaled = scratch<float>(size_t(g.w.ntaps) + 1);
    g.strips = (g.nx + kStrip - 1) / kStrip;
    // Whole strips, tails included, are copied in by the horizontal pass.
    auto inter = scratch<uint8_t>(g.plane_bytes() * size_t(channels), false);
    if (!scaled || !inter) return false;
    for (int j = 0; j < g.w.ntaps; ++j)
        scaled[j] = std::ldexp(kernel[j], kUnitBits);
    g.w.scaled = scaled.get();
    return horizontal_pass(g, src, src_stride, inter.get()) && vertical_pass(g, inter.get(), dst, dst_stride);
}

} // namespace

bool gaussianBlur(const uint8_t* src, uint8_t* dst, int width, int height, const float* kernel,
                  int kernel_size, int src_stride, int dst_stride, int step, bool rounded) {
    return gaussian_channels(src, dst, width, height, kernel, kernel_size, src_stride, dst_stride, step, 1,
                             rounded);
}

bool gaussianBlurARGB(const uint8_t* src, uint8_t* dst, int width, int height, const float* kernel,
                      int kernel_size, int step, bool rounded) {
    return gaussian_channels(src + 1, dst + 1, width, height, kernel, kernel_size, 4, 4, step, 3, rounded);
}
