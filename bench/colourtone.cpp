// Every colour and tone look over a 16-megapixel working image at full size (one lens colour per
// lens class: the types differ only in constants). "ms_per_MP" is wall time per megapixel (the
// console writes it with SI prefixes: 634.2m is 0.6342 ms).
#include "engine/effects/colour/PP_Invert.h"
#include "engine/effects/colour/PP_LensFilter.h"
#include "engine/effects/colour/PP_LensFilter_Hard.h"
#include "engine/effects/colour/PP_LessColors.h"
#include "engine/effects/colour/PP_MoreColors.h"
#include "engine/effects/colour/PP_MoreContrast.h"
#include "engine/effects/colour/PP_NightVision.h"
#include "engine/effects/colour/PP_Normalize.h"
#include "engine/effects/colour/PP_Solarization.h"
#include "engine/effects/colour/PP_Tritone.h"
#include "engine/effects/colour/PP_Tritone2.h"
#include "engine/effects/colour/PP_XRay.h"
#include "engine/effects/test/PP_NV1.h"
#include "engine/effects/vintage/PP_Sepia.h"

#include "LookBench.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

namespace {

template <typename Effect> void BM_Look(benchmark::State& state) {
    bench::runLook<Effect>(state);
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
