// The catalogue's overlay looks ("Grunge Rays", "Derby", "Turin", "Napa") as full-size runs over a
// 16-megapixel working image, the overlay loaded and stretched to it in every run as the effect
// does. "ms_per_MP" is wall time per megapixel (the console writes it with SI prefixes: 634.2m is
// 0.6342 ms).
#include "engine/effects/PP_Effects_Bundle1.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

namespace {

constexpr int kSide = 4096; // 16.8 megapixels

// A full-size run installs its result as the working image, so each run starts from this source.
graphics::ImagePtr sourceImage() {
    static const graphics::ImagePtr image = [] {
        std::vector<uint8_t> pixels(size_t(kSide) * kSide * 4);
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) {
                uint8_t* p = &pixels[(size_t(y) * kSide + size_t(x)) * 4];
                p[0] = uint8_t(x / 16);
                p[1] = uint8_t(y / 16);
                p[2] = uint8_t((x + y) / 32 + (x * y) % 7);
                p[3] = 255;
            }
        return graphics::Image::copy(pixels.data(), kSide, kSide, size_t(kSide) * 4, {});
    }();
    return image;
}

void BM_Look(benchmark::State& state) {
    PP_Effects_Bundle1 effect;
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
    PostProcess::global_clean();
    state.counters["ms_per_MP"] = seconds / double(state.iterations()) * 1000 / (double(kSide) * kSide / 1e6);
}

BENCHMARK(BM_Look)->Arg(7)->Arg(12)->Arg(13)->Arg(14)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
