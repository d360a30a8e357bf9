// The "Brush Strokes" look on a 16-megapixel working image (the size of a 4900 x 3265 photo), with
// the bundle's generated brushes: one whole run, from its preparation to its result, at the default
// settings, at full size and in preview (which paints the full-size image as well). "ms_per_MP" is
// wall time per megapixel of the working image (the console writes it with SI prefixes: 634.2m is
// 0.6342 ms). The working image is rebuilt from the same source before every run, outside the timing.
#include "engine/PostProcess.h"
#include "engine/effects/PP_BrushStrokes.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

namespace {

constexpr int kWidth = 4900, kHeight = 3265;

// Soft gradients, a large disc and grain: flat areas and edges for the strokes to follow.
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

void BM_BrushStrokes(benchmark::State& state) {
    const bool preview = state.range(0) != 0;
    PP_BrushStrokes effect;
    double seconds = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        PostProcess::global_clean();
        PostProcess::global_pre_init(source());
        effect.prepare(source());
        effect.set_silent_mode(true);
        effect.set_preview_mode(preview);
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        effect.process();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    const double megapixels = double(kWidth) * kHeight / 1e6;
    state.counters["ms_per_MP"] = seconds * 1000.0 / double(state.iterations()) / megapixels;
    state.SetLabel(effect.get_name() + (preview ? " (preview)" : ""));
}
// 0: full size, 1: preview.
BENCHMARK(BM_BrushStrokes)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace
