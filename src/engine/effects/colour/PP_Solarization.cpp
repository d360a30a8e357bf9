#include "engine/effects/colour/PP_Solarization.h"

#include "engine/effects/ColourTone.h"

void PP_Solarization::prepare_for_process() {
    m_contrast = float(param_1()->value());
}

pixel_t PP_Solarization::colour(const pixel_t& c) const {
    const auto fold = [](float v) { return v <= 0.5f ? 2.0f * (0.5f - v) : 2.0f * (v - 0.5f); };
    return colour_tone::contrast(pixel_t{fold(c.r), fold(c.g), fold(c.b)}, m_contrast);
}
