#include "engine/effects/PP_LensFilter.h"

#include "engine/effects/ColourTone.h"

namespace {

struct Lens {
    const char* name;
    float r, g, b;
};

constexpr Lens kLenses[10] = {
    {"Red Lense", 255, 49, 49},        {"Green Lense", 107, 255, 49},  {"Blue Lense", 88, 88, 255},
    {"Lilac Lense", 180, 135, 255},    {"Violet Lense", 255, 49, 251}, {"Pink Lense", 255, 141, 137},
    {"Orange Lense", 255, 100, 49},    {"Yellow Lense", 255, 241, 49}, {"Light Green Lense", 196, 255, 49},
    {"Turquoise Lense", 49, 254, 255},
};

} // namespace

pixel_t PP_LensFilter::lens_color(int32_t type) {
    const Lens& l = kLenses[type >= 0 && type <= 8 ? type : 9];
    return {l.r / 255.0f, l.g / 255.0f, l.b / 255.0f};
}

std::string PP_LensFilter::lens_name(int32_t type) {
    return type >= 0 && type <= 9 ? kLenses[type].name : "";
}

std::string PP_LensFilter::get_name() {
    const std::string name = lens_name(m_type);
    return name.empty() ? "Lenses Light" : name;
}

PostProcessParameter* PP_LensFilter::param_1() {
    return localizedParameter(m_param_1, "Contrast", -0.4, 0.4, 0.0);
}

void PP_LensFilter::prepare_for_process() {
    m_contrast = lens_contrast(param_1()->value());
    m_lens = lens_color(m_type);
}

pixel_t PP_LensFilter::process_pixel_x(int32_t x, int32_t y, int32_t pass) {
    (void)pass;
    const pixel_t c = colour_tone::contrast(get_source_pixel(x, y), m_contrast);
    return {c.r * m_lens.r, c.g * m_lens.g, c.b * m_lens.b};
}
