// The catalogue's lo-fi colour styles ("Sanibel", "Mars") as full-size runs over a 16-megapixel
// working image. "ms_per_MP" is wall time per megapixel (the console writes it with SI prefixes:
// 634.2m is 0.6342 ms).
#include "engine/effects/bundles/PP_Effects_Bundle2.h"

#include "LookBench.h"

#include <benchmark/benchmark.h>

namespace {

void BM_Look(benchmark::State& state) {
    bench::runLook<PP_Effects_Bundle2>(state);
}

// Types 1 "Sanibel" and 2 "Mars".
BENCHMARK(BM_Look)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
