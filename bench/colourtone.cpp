// Every colour and tone look over a 16-megapixel working image at full size (one lens colour per
// lens class: the types differ only in constants). "ms_per_MP" is wall time per megapixel (the
// console writes it with SI prefixes: 634.2m is 0.6342 ms).
#include "engine/effects/PP_Invert.h"
#include "engine/effects/PP_LensFilter.h"
#include "engine/effects/PP_LensFilter_Hard.h"
#include "engine/effects/PP_LessColors.h"
#include "engine/effects/PP_MoreColors.h"
#include "engine/effects/PP_MoreContrast.h"
#include "engine/effects/PP_NV1.h"
#include "engine/effects/PP_NightVision.h"
#include "engine/effects/PP_Normalize.h"
#include "engine/effects/PP_Sepia.h"
#include "engine/effects/PP_Solarization.h"
#include "engine/effects/PP_Tritone.h"
#include "engine/effects/PP_Tritone2.h"
#include "engine/effects/PP_XRay.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

namespace {

constexpr int kSide = 4096; // 16.8 megapixels

// A full-size run replaces the working image with its result, so every run starts from a fresh
// copy of this photo-like gradient.
graphics::ImagePtr sourceImage() {
    static const graphics::ImagePtr image = [] {
        std::vector<uint8_t> p(size_t(kSide) * kSide * 4);
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) {
                uint8_t* q = &p[(size_t(y) * kSide + size_t(x)) * 4];
                q[0] = uint8_t(x / 16);
                q[1] = uint8_t(y / 16);
                q[2] = uint8_t((x + y) / 32 + (x * y) % 7);
                q[3] = 255;
            }
        return graphics::Image::copy(p.data(), kSide, kSide, size_t(kSide) * 4, {});
    }();
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

#define LOOK(Effect) BENCHMARK_TEMPLATE(BM_Look, Effect)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()

LOOK(PP_Invert);
LOOK(PP_LensFilter);
LOOK(PP_LensFilter_Hard);
LOOK(PP_LessColors);
LOOK(PP_MoreColors);
LOOK(PP_MoreContrast);
LOOK(PP_Normalize);
LOOK(PP_Sepia);
LOOK(PP_Solarization);
LOOK(PP_Tritone);
LOOK(PP_Tritone2);
LOOK(PP_XRay);
LOOK(PP_NightVision);
LOOK(PP_NV1);

} // namespace
