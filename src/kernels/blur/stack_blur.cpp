#include "kernels/blur/stack_blur.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <vector>

namespace {

// Moving tent sums along one line, for `lanes` independent lines at once: lane l of sample
// i sits at in[i * stride + l]. With S(i) the tent sum at i, S(i + 1) = S(i) - out + in,
// where out sums samples i - r..i and in sums samples i + 1..i + r + 1: so the lanes move
// together and the hot loop stays on contiguous memory. Indices are clamped into 0..n - 1.
struct TentLine {
    std::vector<int32_t> sum, sum_out, sum_in;

    void start(const uint8_t* in, size_t stride, int n, int lanes, int r) {
        sum.assign(size_t(lanes), 0);
        sum_out.assign(size_t(lanes), 0);
        sum_in.assign(size_t(lanes), 0);
        for (int k = -r; k <= r + 1; ++k) {
            const uint8_t* row = in + size_t(std::clamp(k, 0, n - 1)) * stride;
            const int32_t weight = k <= r ? r + 1 - std::abs(k) : 0;
            for (int l = 0; l < lanes; ++l) {
                sum[l] += weight * row[l];
                if (k <= 0)
                    sum_out[l] += row[l];
                else
                    sum_in[l] += row[l];
            }
        }
    }

    // Moves every lane from sample i to sample i + 1.
    void step(const uint8_t* in, size_t stride, int n, int lanes, int r, int i) {
        const uint8_t* leaving = in + size_t(std::max(i - r, 0)) * stride;
        const uint8_t* centre = in + size_t(std::min(i + 1, n - 1)) * stride;
        const uint8_t* arriving = in + size_t(std::min(i + r + 2, n - 1)) * stride;
        for (int l = 0; l < lanes; ++l) {
            sum[l] += sum_in[l] - sum_out[l];
            sum_out[l] += centre[l] - leaving[l];
            sum_in[l] += arriving[l] - centre[l];
        }
    }
};

// n / d for 0 <= n <= 255 d, as a multiply and a shift: with m = floor(2^53 / d) + 1 the
// error of n m / 2^53 stays below 1 / d while 255 d^2 < 2^53, which the radius bound keeps.
struct Divider {
    uint64_t m;
    explicit Divider(int32_t d) : m((uint64_t(1) << 53) / uint64_t(d) + 1) {}
    uint8_t operator()(int32_t n) const { return uint8_t((uint64_t(n) * m) >> 53); }
};

} // namespace

void stack_blur(uint32_t* pixels, int width, int height, int radius) {
    if (!pixels || width <= 0 || height <= 0 || radius < 1) return;
    const int r = std::min(radius, kStackBlurMaxRadius);
    const Divider divide((r + 1) * (r + 1));
    const size_t w = size_t(width);
    auto* bytes = reinterpret_cast<uint8_t*>(pixels);

    // The horizontal results, three colour bytes a pixel (each fits a byte after division).
    std::vector<uint8_t> planes;
    TentLine tent;
    try {
        planes.resize(w * size_t(height) * 3);
        tent.sum.reserve(w * 3);
        tent.sum_out.reserve(w * 3);
        tent.sum_in.reserve(w * 3);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "stack_blur: out of memory for %dx%d\n", width, height);
        return;
    }

    // Rows: the three colour bytes of a pixel are three lanes with a stride of 4 bytes, so
    // each row runs as one line of three lanes over its own bytes 1..3.
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = bytes + size_t(y) * w * 4 + 1;
        uint8_t* out = planes.data() + size_t(y) * w * 3;
        tent.start(row, 4, width, 3, r);
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < 3; ++c)
                out[size_t(x) * 3 + c] = divide(tent.sum[c]);
            if (x + 1 < width) tent.step(row, 4, width, 3, r, x);
        }
    }

    // Columns: every column of the planes is a lane, and rows are walked top to bottom.
    const int lanes = width * 3;
    tent.start(planes.data(), w * 3, height, lanes, r);
    for (int y = 0; y < height; ++y) {
        uint8_t* out = bytes + size_t(y) * w * 4;
        for (size_t x = 0; x < w; ++x) {
            out[x * 4] = 255;
            for (int c = 0; c < 3; ++c)
                out[x * 4 + 1 + c] = divide(tent.sum[x * 3 + c]);
        }
        if (y + 1 < height) tent.step(planes.data(), w * 3, height, lanes, r, y);
    }
}
