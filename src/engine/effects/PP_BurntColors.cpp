#include "engine/effects/PP_BurntColors.h"

#include "engine/Neighbourhood.h"
#include "engine/effects/ColourTone.h"

PostProcessParameter* PP_BurntColors::param_1() {
    return localizedParameter(m_param_1, "Amount", 0.3, 1.5, 1.0);
}

PostProcessParameter* PP_BurntColors::param_2() {
    return localizedParameter(m_param_2, "Brightness", 0.0, 0.5, 0.0);
}

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
