// Every geometry, blur and texture look over a 16-megapixel working image at full size, each type
// of the classes that have several. "ms_per_MP" is wall time per megapixel (the console writes it
// with SI prefixes: 634.2m is 0.6342 ms).
#include "engine/effects/blur/PP_RadialBlur.h"
#include "engine/effects/blur/PP_TestScanner.h"
#include "engine/effects/distortion/PP_SimmetryHorizontal.h"
#include "engine/effects/distortion/PP_SimmetryQuad.h"
#include "engine/effects/distortion/PP_SimmetryVertical.h"
#include "engine/effects/painterly/PP_Mosaic1.h"
#include "engine/effects/sketch/PP_Linocut.h"
#include "engine/effects/sketch/PP_LinocutInv.h"
#include "engine/effects/sketch/PP_PencilPaint.h"
#include "engine/effects/sketch/PP_PencilPaint2.h"
#include "engine/effects/vintage/PP_OldCamera.h"

#include "LookBench.h"

#include <benchmark/benchmark.h>

namespace {

template <typename Effect> void BM_Look(benchmark::State& state) {
    bench::runLook<Effect>(state);
}

#define LOOK(Effect) BENCHMARK_TEMPLATE(BM_Look, Effect)->Unit(benchmark::kMillisecond)->UseRealTime()

LOOK(PP_Linocut)->Arg(0)->Arg(1);
LOOK(PP_LinocutInv)->Arg(0);
LOOK(PP_Mosaic1)->DenseRange(0, 3);
LOOK(PP_OldCamera)->Arg(0);
LOOK(PP_PencilPaint)->Arg(0);
LOOK(PP_PencilPaint2)->Arg(0);
LOOK(PP_RadialBlur)->DenseRange(0, 3);
LOOK(PP_SimmetryHorizontal)->Arg(0);
LOOK(PP_SimmetryVertical)->Arg(0);
LOOK(PP_SimmetryQuad)->Arg(0);
LOOK(PP_TestScanner)->Arg(0);

} // namespace
