// The halftone, posterize and oil-paint looks at full size on a 16-megapixel working image (the
// size of a 4900 x 3265 photo): one whole run each, from its preparation to the installed result,
// at the default settings. "ms_per_MP" is wall time per megapixel (the console writes it with SI
// prefixes: 634.2m is 0.6342 ms). The working image is rebuilt from the same source before every
// run, outside the timing. Denoise is left out: a run takes minutes at this size (bench_denoise
// measures its kernel).
#include "engine/PostProcess.h"
#include "engine/effects/PP_ColorHalftone.h"
#include "engine/effects/PP_ComixHalftone.h"
#include "engine/effects/PP_GrayHalftone.h"
#include "engine/effects/PP_Oilify.h"
#include "engine/effects/PP_SmartPosterize.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr int kWidth = 4900, kHeight = 3265;

// Soft gradients, a few large shapes and grain: areas for the posterize fills, edges for the
// outlines, mid-tones for the dots.
const graphics::ImagePtr& source() {
    static const graphics::ImagePtr image = [] {
        std::vector<uint8_t> px(size_t(kWidth) * kHeight * 4);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                uint8_t* p = &px[(size_t(y) * kWidth + size_t(x)) * 4];
                const double u = double(x) / kWidth, v = double(y) / kHeight;
                const double disc = std::hypot(u - 0.4, v - 0.5) < 0.25 ? 1.0 : 0.0;
                const int grain = int((uint32_t(x) * 2654435761u ^ uint32_t(y) * 40503u) >> 28) - 8;
                const auto ch = [grain](double c) { return uint8_t(std::clamp(int(c) + grain, 0, 255)); };
                p[0] = ch(60 + 150 * u + 40 * disc);
                p[1] = ch(90 + 100 * std::sin(6 * v) * (1 - disc));
                p[2] = ch(200 - 120 * v + 30 * std::cos(9 * u));
                p[3] = 255;
            }
        return graphics::Image::copy(px.data(), kWidth, kHeight, size_t(kWidth) * 4, {});
    }();
    return image;
}

template <class Effect> void BM_Look(benchmark::State& state) {
    Effect effect;
    double seconds = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        PostProcess::global_clean();
        PostProcess::global_pre_init(source());
        effect.prepare(source());
        effect.set_silent_mode(true);
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        effect.process();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    const double megapixels = double(kWidth) * kHeight / 1e6;
    state.counters["ms_per_MP"] = seconds * 1000.0 / double(state.iterations()) / megapixels;
    state.SetLabel(effect.get_name());
}

BENCHMARK(BM_Look<PP_ComixHalftone>)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Look<PP_ColorHalftone>)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Look<PP_GrayHalftone>)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Look<PP_SmartPosterize>)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Look<PP_Oilify>)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace
