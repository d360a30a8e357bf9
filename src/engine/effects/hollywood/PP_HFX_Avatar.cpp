#include "engine/effects/hollywood/PP_HFX_Avatar.h"

#include "engine/BlendFunctions.h"
#include "engine/effects/hollywood/HollywoodFX.h"

void PP_HFX_Avatar::prepare_for_process() {
    m_contrast = param_1()->value();
}

pixel_t PP_HFX_Avatar::process_pixel_x(int32_t x, int32_t y, int32_t pass) {
    (void)pass;
    hsl_t c = RGBToHSL(get_source_pixel(x, y));
    c.h = c.h + 0.5f;
    if (c.h > 1.0f)
        c.h = c.h - 1.0f;
    else if (c.h < -1.0f)
        c.h = c.h + 1.0f;
    // May pass 1: the channels then overshoot and the store clamps them, which is the look.
    c.s = float(double(c.s) * 1.3);
    const pixel_t a = hollywood_fx::contrast(HSLToRGB(c), float(m_contrast));
    return hollywood_fx::add_glow(a, hollywood_fx::glow(x, y));
}
