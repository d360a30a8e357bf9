#include "engine/effects/colour/PP_MoreColors.h"

#include "engine/Neighbourhood.h"
#include "engine/effects/ColourTone.h"

void PP_MoreColors::prepare_for_process() {
    m_saturation = param_1()->value();
}

pixel_t PP_MoreColors::process_pixel_x(int32_t x, int32_t y, int32_t pass) {
    (void)pass;
    return do_saturation(get_source_pixel(x, y), float(m_saturation));
}
