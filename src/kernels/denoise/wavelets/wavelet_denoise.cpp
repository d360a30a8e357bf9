#include "kernels/denoise/wavelets/wavelet_denoise.h"

#include "kernels/denoise/wavelets/wav2d.h"
#include "kernels/denoise/wavelets/wavelet_alloc.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

constexpr int kLevels = 4;
constexpr bool kUsePackets = false;

bool transform(float** rows, int height, int width, const WaveletBank& bank, bool forward, int sx, int sy) {
    return kUsePackets ? wavpack2d_inpl(rows, height, width, kLevels, bank, forward, sx, sy)
                       : wav2d_inpl(rows, height, width, kLevels, bank, forward, sx, sy);
}

} // namespace

int hard_threshold(float** rows, int height, int width, float threshold) {
    int zeroed = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (std::fabs(rows[y][x]) <= threshold) {
                rows[y][x] = 0.0f;
                ++zeroed;
            }
    return zeroed;
}

void round_and_clip_to_0_255(float** rows, int height, int width) {
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            rows[y][x] = float(int(std::clamp(rows[y][x], 0.0f, 255.0f) + 0.5f));
}

bool wavelet_denoise(float** in, float** out, int width, int height, float threshold) {
    std::printf("-------------------------------\n");
    std::printf("\nTesting wavelet transform denoising:\n");
    std::printf("\t(Check source to see which banks are being utilized.)\n");
    if (!in || !out || width < 1 || height < 1) return false;

    WaveletBank bank;
    choose_filter('D', 9, bank);
    float** work = allocate_2d_float(height, width, 0);
    float** sum = allocate_2d_float(height, width, 1);
    if (!work || !sum) {
        free_2d_float(work);
        free_2d_float(sum);
        return false;
    }

    // Every spin covers every pixel, so each pixel's count is the number of spins.
    int spins = 0;
    for (int sy = 0; sy < 2; ++sy)
        for (int sx = 0; sx < 2; ++sx) {
            for (int y = 0; y < height; ++y)
                std::copy(in[y], in[y] + width, work[y]);
            if (!transform(work, height, width, bank, true, sx, sy)) continue;
            hard_threshold(work, height, width, threshold);
            transform(work, height, width, bank, false, sx, sy);
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    sum[y][x] += work[y][x];
            ++spins;
        }

    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            out[y][x] = spins > 0 ? sum[y][x] / float(spins) : in[y][x];
    round_and_clip_to_0_255(out, height, width);
    free_2d_float(work);
    free_2d_float(sum);
    return true;
}

bool denoise_wav(const uint8_t* src, int width, int height, int row_bytes, uint8_t* dst, int dst_row_bytes,
                 float threshold) {
    std::printf("Noise reduction image: %ux%u\n", unsigned(width), unsigned(height));
    if (!src || !dst || width < 1 || height < 1) return false;

    float** planes[3] = {};
    bool ok = true;
    for (auto& p : planes)
        ok = ok && (p = allocate_2d_float(height, width, 0)) != nullptr;
    if (ok)
        for (int y = 0; y < height; ++y) {
            const uint8_t* s = src + size_t(y) * size_t(row_bytes);
            for (int x = 0; x < width; ++x)
                for (int c = 0; c < 3; ++c)
                    planes[c][y][x] = s[4 * size_t(x) + 1 + c];
        }

    const std::clock_t start = std::clock();
    for (auto& p : planes)
        ok = ok && wavelet_denoise(p, p, width, height, threshold);
    std::printf("time: %f\n", double(std::clock() - start) / CLOCKS_PER_SEC);

    if (ok)
        for (int y = 0; y < height; ++y) {
            uint8_t* d = dst + size_t(y) * size_t(dst_row_bytes);
            for (int x = 0; x < width; ++x)
                for (int c = 0; c < 3; ++c)
                    d[4 * size_t(x) + 1 + c] = uint8_t(int(planes[c][y][x]));
        }
    for (auto& p : planes)
        free_2d_float(p);
    return ok;
}
