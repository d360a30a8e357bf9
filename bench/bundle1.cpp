// The catalogue's overlay looks ("Grunge Rays", "Derby", "Turin", "Napa") as full-size runs over a
// 16-megapixel working image, the overlay loaded and stretched to it in every run as the effect
// does. "ms_per_MP" is wall time per megapixel (the console writes it with SI prefixes: 634.2m is
// 0.6342 ms).
#include "engine/effects/bundles/PP_Effects_Bundle1.h"

#include "LookBench.h"

#include <benchmark/benchmark.h>

namespace {

void BM_Look(benchmark::State& state) {
    bench::runLook<PP_Effects_Bundle1>(state);
}

BENCHMARK(BM_Look)->Arg(7)->Arg(12)->Arg(13)->Arg(14)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
