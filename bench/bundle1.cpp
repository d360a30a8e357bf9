// The catalogue's overlay looks ("Grunge Rays", "Derby", "Turin", "Napa") as full-size runs over a
// 16-megapixel working image, the overlay loaded and stretched to it in every run as the effect
// does, on one thread and on eight (second argument). "ms_per_MP" is wall time per megapixel (the
// console writes it with SI prefixes: 634.2m is 0.6342 ms); the CPU column is the whole process's,
// every thread counted, which a machine busy with other work does not inflate as it does wall time.
#include "engine/effects/bundles/PP_Effects_Bundle1.h"
#include "platform/graphics/ParallelRows.h"

#include "LookBench.h"

#include <benchmark/benchmark.h>

namespace {

void BM_Look(benchmark::State& state) {
    graphics::setParallelThreads(unsigned(state.range(1)));
    bench::runLook<PP_Effects_Bundle1>(state);
    graphics::setParallelThreads(0);
}

BENCHMARK(BM_Look)
    ->ArgsProduct({{7, 12, 13, 14}, {1, 8}})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

} // namespace
