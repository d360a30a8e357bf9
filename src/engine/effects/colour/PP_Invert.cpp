#include "engine/effects/colour/PP_Invert.h"

#include "engine/effects/ColourTone.h"

void PP_Invert::prepare_for_process() {
    m_contrast = float(param_1()->value());
}

pixel_t PP_Invert::colour(const pixel_t& source) const {
    const pixel_t c = colour_tone::contrast(source, m_contrast);
    return {1.0f - c.r, 1.0f - c.g, 1.0f - c.b};
}
