#include "engine/effects/colour/PP_Invert.h"

#include "engine/effects/ColourTone.h"

void PP_Invert::prepare_for_process() {
    m_contrast = float(param_1()->value());
}

pixel_t PP_Invert::process_pixel_x(int32_t x, int32_t y, int32_t pass) {
    (void)pass;
    const pixel_t c = colour_tone::contrast(get_source_pixel(x, y), m_contrast);
    return {1.0f - c.r, 1.0f - c.g, 1.0f - c.b};
}
