// The catalogue's colour-modify, colour-temperature and colour-stroke looks over a 16-megapixel
// working image at full size. "ms_per_MP" is wall time per megapixel (the console writes it with
// SI prefixes: 634.2m is 0.6342 ms).
#include "engine/effects/PP_CS.h"
#include "engine/effects/PP_ColorModify.h"
#include "engine/effects/PP_ColorTemperature.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <vector>

namespace {

constexpr int kSide = 4096; // 16.8 megapixels

// A full-size run replaces the working image with its result, so every run starts from a fresh
// copy of this photo-like gradient.
const std::vector<uint8_t>& sourcePixels() {
    static const std::vector<uint8_t> pixels = [] {
        std::vector<uint8_t> p(size_t(kSide) * kSide * 4);
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) {
                uint8_t* q = &p[(size_t(y) * kSide + size_t(x)) * 4];
                q[0] = uint8_t(x / 16);
                q[1] = uint8_t(y / 16);
                q[2] = uint8_t((x + y) / 32 + (x * y) % 7);
                q[3] = 255;
            }
        return p;
    }();
    return pixels;
}

graphics::ImagePtr sourceImage() {
    static const graphics::ImagePtr image =
        graphics::Image::copy(sourcePixels().data(), kSide, kSide, size_t(kSide) * 4, {});
    return image;
}

template <typename Effect> void BM_Look(benchmark::State& state) {
    Effect effect;
    effect.set_type(int32_t(state.range(0)));
    effect.set_silent_mode(true);
    state.SetLabel(effect.get_name());
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
    state.counters["ms_per_MP"] = seconds / double(state.iterations()) * 1000 / (double(kSide) * kSide / 1e6);
}

BENCHMARK_TEMPLATE(BM_Look, PP_ColorModify)->Arg(4)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_TEMPLATE(BM_Look, PP_ColorTemperature)
    ->Arg(4)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_TEMPLATE(BM_Look, PP_CS)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
