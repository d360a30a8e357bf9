#include "engine/effects/colour/PP_XRay.h"

#include "engine/effects/ColourTone.h"

void PP_XRay::prepare_for_process() {
    m_contrast = param_1()->value();
    m_overbright = param_2()->value();
}

pixel_t PP_XRay::process_pixel_x(int32_t x, int32_t y, int32_t pass) {
    (void)pass;
    const pixel_t c = get_source_pixel(x, y);
    const float i = 1.0f - (c.g + c.r + c.b) * 0.33333334f;
    const auto tint = [&](float level) { return float(double(i * level) * m_overbright); };
    const pixel_t tinted{tint(155.0f / 255.0f), tint(189.0f / 255.0f), tint(233.0f / 255.0f)};
    return colour_tone::contrast(tinted, float(m_contrast));
}
