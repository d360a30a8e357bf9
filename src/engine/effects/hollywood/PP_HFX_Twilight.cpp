#include "engine/effects/hollywood/PP_HFX_Twilight.h"

#include "engine/BlendFunctions.h"
#include "engine/effects/hollywood/HollywoodFX.h"

void PP_HFX_Twilight::prepare_for_process() {
    m_overbright = param_1()->value();
}

pixel_t PP_HFX_Twilight::process_pixel_x(int32_t x, int32_t y, int32_t pass) {
    (void)pass;
    constexpr pixel_t cyan = hollywood_fx::colour(152, 235, 255);
    const pixel_t s = do_saturation(get_source_pixel(x, y), 0.5f);
    const pixel_t c = blend_color_burn(hollywood_fx::scaled(s, m_overbright), cyan);
    return hollywood_fx::add_glow(c, hollywood_fx::glow(x, y));
}
