#pragma once
// Full-size runs of one look over a 16-megapixel working image. A full-size run installs its result
// as the working image, so each run starts again from the same source. "ms_per_MP" is wall time per
// megapixel (the console writes it with SI prefixes: 634.2m is 0.6342 ms). Header only.
#include "engine/PostProcess.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <vector>

namespace bench {

constexpr int kLookSide = 4096; // 16.8 megapixels

inline graphics::ImagePtr lookSource() {
    static const graphics::ImagePtr image = [] {
        std::vector<uint8_t> pixels(size_t(kLookSide) * kLookSide * 4);
        for (int y = 0; y < kLookSide; ++y)
            for (int x = 0; x < kLookSide; ++x) {
                uint8_t* p = &pixels[(size_t(y) * kLookSide + size_t(x)) * 4];
                p[0] = uint8_t(x / 16);
                p[1] = uint8_t(y / 16);
                p[2] = uint8_t((x + y) / 32 + (x * y) % 7);
                p[3] = 255;
            }
        return graphics::Image::copy(pixels.data(), kLookSide, kLookSide, size_t(kLookSide) * 4, {});
    }();
    return image;
}

// The look is the Effect class with the benchmark's argument as its type.
template <typename Effect> void runLook(benchmark::State& state) {
    Effect effect;
    effect.set_type(int32_t(state.range(0)));
    effect.set_silent_mode(true);
    state.SetLabel(effect.get_name());
    double seconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        PostProcess::global_clean();
        PostProcess::global_pre_init(lookSource());
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        effect.process();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    PostProcess::global_clean();
    state.counters["ms_per_MP"] =
        seconds / double(state.iterations()) * 1000 / (double(kLookSide) * kLookSide / 1e6);
}

} // namespace bench
