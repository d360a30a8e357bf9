#pragma once
// What the art-quad and the small per-pixel effects share: sliders named by their English text
// (no localisation) and slider values taken as whole numbers. Inline, no state.
#include "engine/PostProcessParameter.h"

#include <cstdint>
#include <memory>

namespace small_effects {

// Truncated toward zero. A stored value can be anything: NaN gives 0, and magnitudes beyond 1e9
// stop there instead of overflowing the conversion.
inline int32_t truncated(double v) {
    if (!(v > -1e9)) return v != v ? 0 : -1000000000;
    if (v > 1e9) return 1000000000;
    return int32_t(v);
}

} // namespace small_effects
