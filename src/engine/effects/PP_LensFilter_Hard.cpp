#include "engine/effects/PP_LensFilter_Hard.h"

#include "engine/effects/ColourTone.h"
#include "engine/effects/PP_LensFilter.h"

std::string PP_LensFilter_Hard::get_name() {
    const std::string name = PP_LensFilter::lens_name(m_type);
    return name.empty() ? "Lenses Mono" : name + " Mono";
}

PostProcessParameter* PP_LensFilter_Hard::param_1() {
    return localizedParameter(m_param_1, "Contrast", -0.4, 0.4, 0.0);
}

void PP_LensFilter_Hard::prepare_for_process() {
    m_contrast = PP_LensFilter::lens_contrast(param_1()->value());
    m_lens = PP_LensFilter::lens_color(m_type);
}

pixel_t PP_LensFilter_Hard::process_pixel_x(int32_t x, int32_t y, int32_t pass) {
    (void)pass;
    const pixel_t c = colour_tone::contrast(get_source_pixel(x, y), m_contrast);
    const float m = float(double(c.r + c.g + c.b) * (1.0 / 3.0));
    return {m * m_lens.r, m * m_lens.g, m * m_lens.b};
}
