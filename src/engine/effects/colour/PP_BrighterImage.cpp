#include "engine/effects/colour/PP_BrighterImage.h"

#include "engine/effects/ColourTone.h"

void PP_BrighterImage::prepare_for_process() {
    m_brightness = param_1()->value();
}

pixel_t PP_BrighterImage::colour(const pixel_t& s) const {
    const double k = m_brightness;
    return {float(double(s.r) * k), float(double(s.g) * k), float(double(s.b) * k)};
}
