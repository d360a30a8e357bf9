#include "engine/effects/hollywood/PP_HFX_Sparta.h"

#include "engine/BlendFunctions.h"
#include "engine/effects/hollywood/HollywoodFX.h"

void PP_HFX_Sparta::prepare_for_process() {
    m_contrast = param_1()->value();
    m_overbright = param_2()->value();
}

pixel_t PP_HFX_Sparta::process_pixel_x(int32_t x, int32_t y, int32_t pass) {
    (void)pass;
    constexpr pixel_t bronze = hollywood_fx::colour(134, 87, 0);
    const pixel_t a = hollywood_fx::contrast(get_source_pixel(x, y), float(m_contrast));
    const pixel_t s = do_saturation(hollywood_fx::scaled(a, m_overbright), 0.35f);
    return blend_overlay(s, bronze);
}
