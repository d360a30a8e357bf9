#include "engine/effects/colour/PP_LensFilter.h"

#include "engine/effects/ColourTone.h"

namespace {

struct Lens {
    float r, g, b;
};

constexpr Lens kLenses[10] = {
    {255, 49, 49},   {107, 255, 49}, {88, 88, 255},  {180, 135, 255}, {255, 49, 251},
    {255, 141, 137}, {255, 100, 49}, {255, 241, 49}, {196, 255, 49},  {49, 254, 255},
};

constexpr SliderSpec kContrast = localizedSlider("Contrast", -0.4, 0.4, 0.0);
constexpr LookSpec kLooks[] = {
    {"Red Lense", "Color Lenses", kContrast},         {"Green Lense", "Color Lenses", kContrast},
    {"Blue Lense", "Color Lenses", kContrast},        {"Lilac Lense", "Color Lenses", kContrast},
    {"Violet Lense", "Color Lenses", kContrast},      {"Pink Lense", "Color Lenses", kContrast},
    {"Orange Lense", "Color Lenses", kContrast},      {"Yellow Lense", "Color Lenses", kContrast},
    {"Light Green Lense", "Color Lenses", kContrast}, {"Turquoise Lense", "Color Lenses", kContrast},
};
constexpr LookSpec kPlaceholder{"Lenses Light", "Color Lenses", kContrast};

} // namespace

pixel_t PP_LensFilter::lens_color(int32_t type) {
    const Lens& l = kLenses[type >= 0 && type <= 8 ? type : 9];
    return {l.r / 255.0f, l.g / 255.0f, l.b / 255.0f};
}

int32_t PP_LensFilter::look_count() const {
    return int32_t(std::size(kLooks));
}

const LookSpec* PP_LensFilter::look_spec() const {
    return lookOfType(kLooks, m_type, &kPlaceholder);
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
