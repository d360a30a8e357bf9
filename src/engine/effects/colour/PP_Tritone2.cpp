#include "engine/effects/colour/PP_Tritone2.h"

#include "engine/effects/ColourTone.h"

void PP_Tritone2::prepare_for_process() {
    m_shadow_color = {0.6f, 0.0f, 0.0f};
    m_mid_color = {1.0f, 1.0f, 1.0f};
    m_hi_color = {0.0f, 0.0f, 0.5f};
    m_contrast = param_1()->value();
}

pixel_t PP_Tritone2::process_pixel_x(int32_t x, int32_t y, int32_t pass) {
    (void)pass;
    return colour_tone::tritone(get_source_pixel(x, y), float(m_contrast), m_shadow_color, m_mid_color,
                                m_hi_color);
}
