// The contour, distortion, explosion, gamma and hue looks as full-size runs over a 16-megapixel
// working image, one row per type at its default settings. "ms_per_MP" is wall time per megapixel
// (the console writes it with SI prefixes: 634.2m is 0.6342 ms).
#include "engine/effects/blur/PP_Explosion.h"
#include "engine/effects/colour/PP_Gamma.h"
#include "engine/effects/colour/PP_Hue.h"
#include "engine/effects/distortion/PP_FalseMirror.h"
#include "engine/effects/sketch/PP_Edges.h"

#include "LookBench.h"

#include <benchmark/benchmark.h>

namespace {

template <typename Effect> void BM_Look(benchmark::State& state) {
    bench::runLook<Effect>(state);
}

BENCHMARK_TEMPLATE(BM_Look, PP_Edges)->DenseRange(0, 5)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_TEMPLATE(BM_Look, PP_FalseMirror)->DenseRange(0, 6)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_TEMPLATE(BM_Look, PP_Explosion)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_TEMPLATE(BM_Look, PP_Gamma)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_TEMPLATE(BM_Look, PP_Hue)->DenseRange(0, 6)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
