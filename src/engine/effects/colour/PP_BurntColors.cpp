#include "engine/effects/colour/PP_BurntColors.h"

#include "engine/Neighbourhood.h"
#include "engine/effects/ColourTone.h"

void PP_BurntColors::prepare_for_process() {
    m_scale = param_1()->value();
    m_brightnes = param_2()->value();
    m_contrast = float(m_scale * 3.0);
    m_saturation = float(m_scale * 4.0);
}

pixel_t PP_BurntColors::process_pixel_x(int32_t x, int32_t y, int32_t pass) {
    (void)pass;
    const pixel_t c = colour_tone::contrast(get_source_pixel(x, y), m_contrast);
    const pixel_t s = do_saturation(c, m_saturation);
    const double lift = m_brightnes;
    return {float(double(s.r) + lift), float(double(s.g) + lift), float(double(s.b) + lift)};
}
