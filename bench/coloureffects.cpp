// The catalogue's colour-modify, colour-temperature and colour-stroke looks over a 16-megapixel
// working image at full size. "ms_per_MP" is wall time per megapixel (the console writes it with
// SI prefixes: 634.2m is 0.6342 ms).
#include "engine/effects/colour/PP_CS.h"
#include "engine/effects/colour/PP_ColorModify.h"
#include "engine/effects/colour/PP_ColorTemperature.h"

#include "LookBench.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <vector>

namespace {

template <typename Effect> void BM_Look(benchmark::State& state) {
    bench::runLook<Effect>(state);
}

BENCHMARK_TEMPLATE(BM_Look, PP_ColorModify)->Arg(4)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_TEMPLATE(BM_Look, PP_ColorTemperature)
    ->Arg(4)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_TEMPLATE(BM_Look, PP_CS)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
