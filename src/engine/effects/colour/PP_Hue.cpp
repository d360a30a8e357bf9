#include "engine/effects/colour/PP_Hue.h"

#include "engine/BlendFunctions.h"
#include "engine/effects/ColourTone.h"

#include <iterator>

namespace {

// The shifted hue before wrapping; the tuned looks add some offsets in double, some in float.
float shifted(int32_t type, float h) {
    switch (type) {
    case 0:
        return float(double(h) + 0.6);
    case 1:
        return float(double(h) + 0.3);
    case 2:
        return float(double(h) + 0.9);
    case 3:
        return h + 0.5f;
    case 4:
        return h + 0.75f;
    case 5:
        return float(double(h) + 0.15);
    case 6:
        return float(double(h) - 0.05);
    default:
        return h;
    }
}

} // namespace

namespace {

constexpr SliderSpec kAmount = localizedSlider("Amount", 0.1, 2.0, 1.0);
constexpr LookSpec kLooks[] = {
    {"Hue Blue", "Hue", kAmount},      {"Hue Green", "Hue", kAmount},  {"Hue Pink", "Hue", kAmount},
    {"Hue Turquoise", "Hue", kAmount}, {"Hue Purple", "Hue", kAmount}, {"Hue Yellow", "Hue", kAmount},
    {"Hue Red", "Hue", kAmount},
};
constexpr LookSpec kPlaceholder{"none", "Hue", kAmount};

} // namespace

int32_t PP_Hue::look_count() const {
    return int32_t(std::size(kLooks));
}

const LookSpec* PP_Hue::look_spec() const {
    return lookOfType(kLooks, m_type, &kPlaceholder);
}

void PP_Hue::prepare_for_process() {
    m_amount = param_1()->value();
}

pixel_t PP_Hue::process_pixel_x(int32_t x, int32_t y, int32_t pass) {
    (void)pass;
    const pixel_t src = get_source_pixel(x, y);
    hsl_t c = RGBToHSL(src);
    c.h = shifted(m_type, c.h);
    if (c.h < -1.0f)
        c.h = c.h + 1.0f;
    else if (c.h > 1.0f)
        c.h = c.h - 1.0f;
    const pixel_t p = HSLToRGB(c);
    const float k = float(m_amount);
    return {src.r + (p.r - src.r) * k, src.g + (p.g - src.g) * k, src.b + (p.b - src.b) * k};
}
