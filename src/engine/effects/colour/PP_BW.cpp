#include "engine/effects/colour/PP_BW.h"

#include "engine/effects/ColourTone.h"

void PP_BW::prepare_for_process() {
    m_contrast = param_1()->value();
    m_overbright = param_2()->value();
    m_k = float(m_contrast);
}

pixel_t PP_BW::process_pixel_x(int32_t x, int32_t y, int32_t pass) {
    (void)pass;
    const pixel_t c = colour_tone::contrast(get_source_pixel(x, y), m_k);
    const float v = float(((double(c.g) + double(c.r)) + double(c.b)) * (1.0 / 3.0));
    const float out = float(double(v) * m_overbright);
    return {out, out, out};
}
