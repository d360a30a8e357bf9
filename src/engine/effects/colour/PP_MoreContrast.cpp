#include "engine/effects/colour/PP_MoreContrast.h"

#include "engine/effects/ColourTone.h"

void PP_MoreContrast::prepare_for_process() {
    m_contrast = param_1()->value();
}

pixel_t PP_MoreContrast::process_pixel_x(int32_t x, int32_t y, int32_t pass) {
    (void)pass;
    return colour_tone::contrast(get_source_pixel(x, y), float(m_contrast));
}
