#include "engine/effects/colour/PP_MoreContrast.h"

#include "engine/effects/ColourTone.h"

void PP_MoreContrast::prepare_for_process() {
    m_contrast = param_1()->value();
}

pixel_t PP_MoreContrast::colour(const pixel_t& source) const {
    return colour_tone::contrast(source, float(m_contrast));
}
