// The adjustments effect at full size over a 16-megapixel working image: every value at its
// default, the colour and tone stages, the mask stages (shadows, highlights, sharpening) and noise
// reduction. A full-size run rebuilds the masks, so they are part of every figure. "ms_per_MP" is
// wall time per megapixel (the console writes it with SI prefixes: 634.2m is 0.6342 ms).
#include "engine/PostProcessParameter.h"
#include "engine/effects/adjustments/PP_SuperFilter.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <utility>
#include <vector>

namespace {

constexpr int kWidth = 4896, kHeight = 3264; // 16 megapixels, 3:2

// A full-size run replaces the working image with its result, so every run starts from this
// photo-like gradient with some grain.
graphics::ImagePtr sourceImage() {
    static const graphics::ImagePtr image = [] {
        std::vector<uint8_t> p(size_t(kWidth) * kHeight * 4);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                uint8_t* q = &p[(size_t(y) * kWidth + size_t(x)) * 4];
                const int grain = (x * 37 + y * 91) % 23 - 11;
                q[0] = uint8_t(std::clamp(x / 20 + grain, 0, 255));
                q[1] = uint8_t(std::clamp(y / 13 + grain, 0, 255));
                q[2] = uint8_t(std::clamp((x + y) / 32 + (x * y) % 7 + grain, 0, 255));
                q[3] = 255;
            }
        return graphics::Image::copy(p.data(), kWidth, kHeight, size_t(kWidth) * 4, {});
    }();
    return image;
}

using Values = std::vector<std::pair<int, double>>;

void BM_Adjustments(benchmark::State& state, const Values& values) {
    PP_SuperFilter effect;
    effect.init({}, 0);
    effect.set_silent_mode(true);
    for (const auto& [index, value] : values)
        effect.params()[size_t(index)]->setValue(value);
    double seconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        PostProcess::global_clean();
        PostProcess::global_pre_init(sourceImage());
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        effect.process();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["ms_per_MP"] =
        seconds / double(state.iterations()) * 1000 / (double(kWidth) * kHeight / 1e6);
}

using SF = PP_SuperFilter;

BENCHMARK_CAPTURE(BM_Adjustments, defaults, Values{})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Adjustments, colour_and_tone,
                  Values{{SF::kTemperature, 7.8},
                         {SF::kSaturation, 1.3},
                         {SF::kHue, 0.05},
                         {SF::kExposure, 0.6},
                         {SF::kBrightness, 0.55},
                         {SF::kContrast, 1.2},
                         {SF::kLevelsLow, 10},
                         {SF::kLevelsHigh, 240},
                         {SF::kLevelsGamma, 0.45},
                         {SF::kRed, 1.1},
                         {SF::kBlue, 0.9}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Adjustments, shadows_highlights_sharpen,
                  Values{{SF::kShadowAmount, 0.6},
                         {SF::kHighlightAmount, 0.5},
                         {SF::kSharpenAmount, 3.0},
                         {SF::kSharpenRadius, 2.0}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
// Seconds per run: one is enough.
BENCHMARK_CAPTURE(BM_Adjustments, denoise, Values{{SF::kDenoiseAmount, 0.5}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

} // namespace
