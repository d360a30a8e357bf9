#include "engine/effects/bundles/PP_Effects_Bundle2.h"

#include "engine/BlendFunctions.h"
#include "engine/effects/LoFiStyles.h"
#include "kernels/Random.h"
#include "platform/graphics/Clamp.h"

#include <iterator>

namespace {

using hollywood_fx::colour;

constexpr LookSpec kLooks[] = {
    {"Night Vision Cam", "SFX", localizedSlider("Brightness", 1.0, 3.0, 1.5), {}},
    {"Sanibel", "Groovy Lo-Fi", localizedSlider("Contrast", 1.0, 3.0, 1.2),
     localizedSlider("Brightness", 0.0, 0.5, 0.3)},
    {"Mars", "Photo Styles", localizedSlider("Contrast", 1.0, 10.0, 4.0), {}},
    {"Griffin", "Groovy Lo-Fi", localizedSlider("Contrast", 1.0, 3.0, 1.2),
     localizedSlider("Brightness", 0.0, 0.5, 0.2)},
};
constexpr LookSpec kPlaceholder{"PP_NV1", "Test"};

pixel_t times(pixel_t a, pixel_t b) {
    return {a.r * b.r, a.g * b.g, a.b * b.b};
}

using graphics::clamp01;

} // namespace

int32_t PP_Effects_Bundle2::look_count() const {
    return int32_t(std::size(kLooks));
}

const LookSpec* PP_Effects_Bundle2::look_spec() const {
    return lookOfType(kLooks, m_type, &kPlaceholder);
}

void PP_Effects_Bundle2::prepare_for_process() {
    m_prm1 = lofi_styles::value_of(param_1());
    m_prm2 = lofi_styles::value_of(param_2());
}

pixel_t PP_Effects_Bundle2::process_pixel_x(int32_t x, int32_t y, int32_t pass) {
    (void)pass;
    switch (m_type) {
    case 0: {
        const float g = lofi_styles::source_gray(x, y) * m_prm1;
        const pixel_t c = blend_color_burn({g, g, g}, colour(60, 168, 32));
        // About 7 pixels in 41 keep their colour; the others flicker in brightness.
        if (Random::random() % 41 < 7) return c;
        const float f = float(Random::random() % 5001) / 5000.0f * 0.78f + 0.82f;
        return {c.r * f, c.g * f, c.b * f};
    }
    case 1: {
        const pixel_t s = get_source_pixel(x, y);
        const auto lift = [this](float c) { return (c - 0.5f) * m_prm1 + 0.5f + m_prm2; };
        const pixel_t b = blend_overlay({lift(s.r), lift(s.g), lift(s.b)}, colour(0, 31, 129));
        return times(b, colour(252, 247, 183));
    }
    case 2: {
        const float v = clamp01((lofi_styles::source_gray(x, y) - 0.5f) * m_prm1 + 0.5f);
        return blend_hard_light2({v, v, v}, colour(230, 154, 95));
    }
    case 3: {
        const pixel_t s = get_source_pixel(x, y);
        const auto lift = [this](float c) { return clamp01((c - 0.5f) * m_prm1 + 0.5f + m_prm2); };
        const pixel_t b = blend_overlay({lift(s.r), lift(s.g), lift(s.b)}, colour(146, 0, 52));
        return times(b, colour(254, 252, 222));
    }
    default:
        // No treatment is defined for another type: the picture stays as it is.
        return get_source_pixel(x, y);
    }
}
