#include "engine/effects/PP_MoreContrast.h"

#include "engine/effects/ColourTone.h"

PostProcessParameter* PP_MoreContrast::param_1() {
    return localizedParameter(m_param_1, "Contrast", 0.4, 2.0, 1.5);
}

void PP_MoreContrast::prepare_for_process() {
    m_contrast = param_1()->value();
}

pixel_t PP_MoreContrast::process_pixel_x(int32_t x, int32_t y, int32_t pass) {
    (void)pass;
    return colour_tone::contrast(get_source_pixel(x, y), float(m_contrast));
}
