#include "engine/effects/PP_HFX_ColorComics.h"

#include "engine/effects/HollywoodFX.h"

PostProcessParameter* PP_HFX_ColorComics::param_1() {
    return localizedParameter(m_param_1, "Posterize", 3.0, 16.0, 12.0);
}

PostProcessParameter* PP_HFX_ColorComics::param_2() {
    return localizedParameter(m_param_2, "Contrast", 1.2, 3.0, 1.3);
}

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
