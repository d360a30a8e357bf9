// The Voronoi mosaic ("Mosaic 2") as a full-size run over a 16-megapixel working image, at the
// default size. "ms_per_MP" is wall time per megapixel (the console writes it with SI prefixes:
// 634.2m is 0.6342 ms).
#include "engine/effects/painterly/PP_Mosaic.h"

#include "LookBench.h"

#include <benchmark/benchmark.h>

namespace {

void BM_Mosaic(benchmark::State& state) {
    bench::runLook<PP_Mosaic>(state);
}

BENCHMARK(BM_Mosaic)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
