#pragma once
// What the lo-fi colour style classes share: reading an optional slider and the grey of a source
// pixel taken from its byte sum. Inline, no state.
#include "engine/PostProcess.h"
#include "engine/effects/hollywood/HollywoodFX.h"

#include <cstdint>
#include <memory>

namespace lofi_styles {

inline float value_of(PostProcessParameter* p) {
    return p ? float(p->value()) : 0.0f;
}

// Grey of the working-image pixel at (x, y), rounded to float after each product; 0 outside.
inline float source_gray(int32_t x, int32_t y) {
    const uint8_t* data = PostProcess::gp_data;
    if (!data || x < 0 || y < 0 || x >= PostProcess::g_width || y >= PostProcess::g_height) return 0.0f;
    const uint8_t* p = data + (size_t(y) * size_t(PostProcess::g_width) + size_t(x)) * 4;
    const float scaled = float(double(int(p[1]) + int(p[2]) + int(p[3])) * (1.0 / 255.0));
    return float(double(scaled) * (1.0 / 3.0));
}

} // namespace lofi_styles
