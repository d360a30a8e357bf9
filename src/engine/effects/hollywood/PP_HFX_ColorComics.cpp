#include "engine/effects/hollywood/PP_HFX_ColorComics.h"

#include "engine/effects/hollywood/HollywoodFX.h"

void PP_HFX_ColorComics::prepare_for_process() {
    m_posterize = int32_t(param_1()->value());
    m_contrast = param_2()->value();
}

pixel_t PP_HFX_ColorComics::process_pixel_x(int32_t x, int32_t y, int32_t pass) {
    (void)pass;
    const pixel_t s = do_saturation(get_source_pixel(x, y), 0.5f);
    const float q = hollywood_fx::edge_factor(x, y, float(m_posterize));
    return hollywood_fx::contrast({s.r * q, s.g * q, s.b * q}, float(m_contrast));
}
