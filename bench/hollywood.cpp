// The catalogue's Hollywood FX looks ("Alien Skin", "Sparta", "Twilight") as full-size runs over a
// 16-megapixel working image. "ms_per_MP" is wall time per megapixel (the console writes it with
// SI prefixes: 634.2m is 0.6342 ms).
#include "engine/effects/hollywood/PP_HFX_Avatar.h"
#include "engine/effects/hollywood/PP_HFX_Sparta.h"
#include "engine/effects/hollywood/PP_HFX_Twilight.h"

#include "LookBench.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

namespace {

template <typename Effect> void BM_Look(benchmark::State& state) {
    bench::runLook<Effect>(state);
}

BENCHMARK_TEMPLATE(BM_Look, PP_HFX_Avatar)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_TEMPLATE(BM_Look, PP_HFX_Sparta)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_TEMPLATE(BM_Look, PP_HFX_Twilight)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
