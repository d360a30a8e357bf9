#include "kernels/blur/GaussianBlur.h"

#include "platform/graphics/ParallelRows.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <new>
#include <vector>

GaussianBlur* GaussianBlur::sharedGaussianBlur() {
    static GaussianBlur shared;
    return &shared;
}

GaussianBlur::GaussianBlur() {
    _cache.gaussianMatrixForRadius(kMaxRadius);
}

const float* GaussianBlur::gaussianMatrixForRadius(size_t r) {
    return _cache.gaussianMatrixForRadius(r);
}

void GaussianBlur::gaussianBlurFirstPassForData(const uint8_t* data, texture_t* texture, int32_t radius,
                                                int32_t stepX, int32_t X, int32_t Y) {
    const int32_t r = std::clamp(radius, 1, kMaxRadius);
    const float* k = gaussianMatrixForRadius(size_t(r));
    const int64_t w = texture->width, h = texture->height;
    // Past the bottom the row stepX above the end, kept inside the image for steps taller than it.
    const int64_t below_end = std::max<int64_t>(h - stepX, 0);
    float red = 0, green = 0, blue = 0;
    for (int32_t j = 0; j <= 2 * r; ++j) {
        int64_t row = int64_t(Y) + int64_t(j - r) * stepX;
        if (row < 0)
            row = 0;
        else if (row >= h)
            row = below_end;
        const uint8_t* p = data + (row * w + X) * 4;
        red += p[1] * k[j];
        green += p[2] * k[j];
        blue += p[3] * k[j];
    }
    uint8_t* t = texture->data + (int64_t(Y) * w + X) * 4;
    t[1] = uint8_t(int(red));
    t[2] = uint8_t(int(green));
    t[3] = uint8_t(int(blue));
}

GaussianBlurColor GaussianBlur::gaussianBlurSecondPassForTexture(const texture_t* texture, int32_t radius,
                                                                 int32_t stepX, int32_t X, int32_t Y) {
    const int32_t r = std::clamp(radius, 1, kMaxRadius);
    const float* k = gaussianMatrixForRadius(size_t(r));
    const int64_t w = texture->width;
    const int64_t step = std::max(stepX, 1);
    // The last column the first pass wrote: texels between grid columns were never written.
    const int64_t last_visited = (w - 1) / step * step;
    const uint8_t* line = texture->data + int64_t(Y) * w * 4;
    float red = 0, green = 0, blue = 0;
    for (int32_t j = 0; j <= 2 * r; ++j) {
        int64_t col = int64_t(X) + int64_t(j - r) * stepX;
        if (col < 0)
            col = 0;
        else if (col >= w)
            col = last_visited;
        const uint8_t* p = line + col * 4;
        red += p[1] * k[j];
        green += p[2] * k[j];
        blue += p[3] * k[j];
    }
    const auto channel = [](float sum) { return secondPassChannel(uint8_t(int(sum) & 0xFF)); };
    return {channel(red), channel(green), channel(blue)};
}

namespace {

// Wider vectors where the processor has them: each element is still one multiply and one add in
// single precision (no fused multiply-add), so every width gives the same bytes.
// Not under ThreadSanitizer: the clone's resolver runs at load time, before its runtime is up.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(__SANITIZE_THREAD__)
#define OPALENE_WIDE_VECTORS __attribute__((target_clones("avx2", "default")))
#else
#define OPALENE_WIDE_VECTORS
#endif

// sum += byte x k over one source row's grid pixels; Dense (step 1) lets the loads vectorise.
template <bool Dense>
OPALENE_WIDE_VECTORS void addSourceRow(const uint8_t* __restrict line, int64_t pixelBytes, int64_t n, float k,
                                       float* __restrict red, float* __restrict green,
                                       float* __restrict blue) {
    const int64_t stride = Dense ? 4 : pixelBytes;
    for (int64_t i = 0; i < n; ++i) {
        const uint8_t* p = line + i * stride;
        red[i] += p[1] * k;
        green[i] += p[2] * k;
        blue[i] += p[3] * k;
    }
}

OPALENE_WIDE_VECTORS void addShifted(const float* __restrict values, int64_t n, float k,
                                     float* __restrict sum) {
    for (int64_t i = 0; i < n; ++i)
        sum[i] += values[i] * k;
}

} // namespace

// Row by row: the second pass reads only its own row of first-pass texels, and those depend only on
// the source, so one row's first pass is kept in scratch and its second pass follows at once. Every
// sum adds the same products in the same order as the per-texel passes, one array element per grid
// column, so the loops vectorise without changing a byte.
bool GaussianBlur::gaussianBlurBothPasses(const uint8_t* data, texture_t* texture, int32_t radius,
                                          int32_t stepX, int32_t stepY) {
    const int32_t r = std::clamp(radius, 1, kMaxRadius);
    const float* k = gaussianMatrixForRadius(size_t(r));
    const int64_t w = texture->width, h = texture->height;
    if (!k) return false;
    if (w <= 0 || h <= 0) return true;
    const int64_t sx = std::max(stepX, 1), sy = std::max(stepY, 1);
    const int64_t below_end = std::max<int64_t>(h - stepX, 0);
    const int64_t n = (w - 1) / sx + 1; // grid columns; the last is the last visited one
    const int64_t taps = 2 * int64_t(r) + 1;
    const int rows = int((h - 1) / sy + 1);
    uint8_t* const out = texture->data;

    std::atomic<bool> whole{true};
    graphics::parallelRows(rows, size_t(n * taps), [&](int firstRow, int endRow) {
        // Sums per channel, then the first-pass bytes of the row padded by r clamped columns a side.
        std::unique_ptr<float[]> scratchMemory(new (std::nothrow) float[size_t(3 * n + 3 * (n + taps))]);
        if (!scratchMemory) {
            whole = false;
            return;
        }
        float* const scratch = scratchMemory.get();
        float* sum[3] = {scratch, scratch + n, scratch + 2 * n};
        float* padded[3];
        for (int c = 0; c < 3; ++c)
            padded[c] = scratch + 3 * n + c * (n + taps);

        for (int gy = firstRow; gy < endRow; ++gy) {
            if (graphics::workCancelled()) return;
            const int64_t Y = gy * sy;
            for (float* s : sum)
                std::fill(s, s + n, 0.0f);
            for (int64_t j = 0; j < taps; ++j) {
                int64_t row = Y + (j - r) * stepX;
                if (row < 0)
                    row = 0;
                else if (row >= h)
                    row = below_end;
                const uint8_t* line = data + row * w * 4;
                if (sx == 1)
                    addSourceRow<true>(line, 4, n, k[j], sum[0], sum[1], sum[2]);
                else
                    addSourceRow<false>(line, sx * 4, n, k[j], sum[0], sum[1], sum[2]);
            }
            for (int c = 0; c < 3; ++c)
                for (int64_t q = 0; q < n + 2 * r; ++q)
                    padded[c][q] = float(uint8_t(int(sum[c][std::clamp<int64_t>(q - r, 0, n - 1)])));

            for (float* s : sum)
                std::fill(s, s + n, 0.0f);
            for (int c = 0; c < 3; ++c)
                for (int64_t j = 0; j < taps; ++j)
                    addShifted(padded[c] + j, n, k[j], sum[c]);
            uint8_t* texel = out + Y * w * 4;
            for (int64_t i = 0; i < n; ++i)
                for (int c = 0; c < 3; ++c)
                    texel[i * sx * 4 + 1 + c] = uint8_t(int(sum[c][i]) & 0xFF);
        }
    });
    return whole && !graphics::workCancelled();
}
