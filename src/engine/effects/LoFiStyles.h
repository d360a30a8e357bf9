#pragma once
// What the two lo-fi colour style classes share: their slider tables and the grey of a source
// pixel taken from its byte sum. Inline, no state.
#include "engine/PostProcess.h"
#include "engine/effects/HollywoodFX.h"

#include <cstdint>
#include <memory>

namespace lofi_styles {

// A slider of a variant table; a null key means the variant has no such parameter.
struct Slider {
    const char* key = nullptr;
    double min = 0.0, max = 0.0, def = 0.0;
};

// The parameter in slot, made on first request from the slider; null for a missing slider.
inline PostProcessParameter* parameter(std::shared_ptr<PostProcessParameter>& slot, const Slider* slider) {
    if (!slot && slider && slider->key)
        return localizedParameter(slot, slider->key, slider->min, slider->max, slider->def);
    return slot.get();
}

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
