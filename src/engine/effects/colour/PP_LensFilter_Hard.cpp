#include "engine/effects/colour/PP_LensFilter_Hard.h"

#include "engine/effects/ColourTone.h"
#include "engine/effects/colour/PP_LensFilter.h"

namespace {

constexpr SliderSpec kContrast = localizedSlider("Contrast", -0.4, 0.4, 0.0);
constexpr LookSpec kLooks[] = {
    {"Red Lense Mono", "Color Lenses", kContrast},
    {"Green Lense Mono", "Color Lenses", kContrast},
    {"Blue Lense Mono", "Color Lenses", kContrast},
    {"Lilac Lense Mono", "Color Lenses", kContrast},
    {"Violet Lense Mono", "Color Lenses", kContrast},
    {"Pink Lense Mono", "Color Lenses", kContrast},
    {"Orange Lense Mono", "Color Lenses", kContrast},
    {"Yellow Lense Mono", "Color Lenses", kContrast},
    {"Light Green Lense Mono", "Color Lenses", kContrast},
    {"Turquoise Lense Mono", "Color Lenses", kContrast},
};
constexpr LookSpec kPlaceholder{"Lenses Mono", "Color Lenses", kContrast};

} // namespace

int32_t PP_LensFilter_Hard::look_count() const {
    return int32_t(std::size(kLooks));
}

const LookSpec* PP_LensFilter_Hard::look_spec() const {
    return lookOfType(kLooks, m_type, &kPlaceholder);
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
