#include "engine/effects/hollywood/PP_HFX_BWComics.h"

#include "engine/effects/hollywood/HollywoodFX.h"

void PP_HFX_BWComics::prepare_for_process() {
    m_contrast = float(param_1()->value());
}

pixel_t PP_HFX_BWComics::process_pixel_x(int32_t x, int32_t y, int32_t pass) {
    (void)pass;
    const pixel_t s = do_saturation(get_source_pixel(x, y), 0.5f);
    const float q = hollywood_fx::edge_factor(x, y, 12.0f);
    const pixel_t a = hollywood_fx::contrast({s.r * q, s.g * q, s.b * q}, m_contrast);
    const float v = (a.g + a.r + a.b) / 3.0f;
    return {v, v, v};
}
