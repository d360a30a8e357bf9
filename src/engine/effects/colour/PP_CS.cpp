#include "engine/effects/colour/PP_CS.h"

#include "engine/Neighbourhood.h"
#include "engine/PostProcessParameter.h"

#include <cmath>

namespace {

float sq(float v) {
    return v * v;
}

// The steps all targets share; distance gives how far src is from the target colour and
// factor the threshold at a colour range of 1.
template <typename Distance>
pixel_t stroke_pixel(int32_t x, int32_t y, const cs_settings_t& settings, float factor, Distance distance) {
    const pixel_t src = PostProcess::get_source_pixel(x, y);
    const float grey = do_filter_environment(src).r;
    const float d = distance(src);
    const float t = settings.color_tolerance_scale * factor;
    pixel_t c{grey, grey, grey};
    if (t > d) {
        const float w = 1.0f - d / t;
        const pixel_t s = do_saturation(src, settings.saturation);
        c = {grey + w * (s.r - grey), grey + w * (s.g - grey), grey + w * (s.b - grey)};
    }
    const auto contrast = [](float v) { return (v - 0.5f) * 1.4f + 0.5f; };
    return {contrast(c.r), contrast(c.g), contrast(c.b)};
}

constexpr float kPrimaryFactor = 0.9f;
constexpr float kSecondaryFactor = 0.73f;

} // namespace

pixel_t do_filter_environment(pixel_t p) {
    const float v = float((double(p.r) * 0.3 + double(p.g) * 0.59) + double(p.b) * 0.11);
    return {v, v, v};
}

pixel_t get_pixel_cs_red(int32_t x, int32_t y, const cs_settings_t& settings) {
    return stroke_pixel(x, y, settings, kPrimaryFactor, [](pixel_t p) {
        return std::fabs(p.g - p.b) + std::sqrt((sq(p.r - 1.0f) + sq(p.g)) + sq(p.b));
    });
}

pixel_t get_pixel_cs_green(int32_t x, int32_t y, const cs_settings_t& settings) {
    return stroke_pixel(x, y, settings, kPrimaryFactor, [](pixel_t p) {
        return std::fabs(p.r - p.b) + std::sqrt((sq(p.r) + sq(p.g - 1.0f)) + sq(p.b));
    });
}

pixel_t get_pixel_cs_blue(int32_t x, int32_t y, const cs_settings_t& settings) {
    return stroke_pixel(x, y, settings, kPrimaryFactor, [](pixel_t p) {
        const float e = std::sqrt((sq(p.r) + sq(p.g)) + sq(p.b - 1.0f));
        return float(double(e) + 0.35 * double(std::fabs(p.g - p.r)));
    });
}

pixel_t get_pixel_cs_yellow(int32_t x, int32_t y, const cs_settings_t& settings) {
    return stroke_pixel(x, y, settings, kSecondaryFactor,
                        [](pixel_t p) { return std::sqrt((sq(p.r - 1.0f) + sq(p.g - 1.0f)) + sq(p.b)); });
}

pixel_t get_pixel_cs_magenta(int32_t x, int32_t y, const cs_settings_t& settings) {
    return stroke_pixel(x, y, settings, kSecondaryFactor,
                        [](pixel_t p) { return std::sqrt((sq(p.r - 1.0f) + sq(p.g)) + sq(p.b - 1.0f)); });
}

pixel_t get_pixel_cs_cyan(int32_t x, int32_t y, const cs_settings_t& settings) {
    return stroke_pixel(x, y, settings, kSecondaryFactor,
                        [](pixel_t p) { return std::sqrt((sq(p.r) + sq(p.g - 1.0f)) + sq(p.b - 1.0f)); });
}

// Only the defaults depend on the type: the red look was tuned on its own.
namespace {

constexpr SliderSpec kSaturation = localizedSlider("Saturation", 1.7, 4.0, 2.1);
constexpr SliderSpec kColorRange = localizedSlider("Color Range", 0.6, 1.4, 1.0);
constexpr LookSpec kLooks[] = {
    {"Red Stroke", "Color Strokes", localizedSlider("Saturation", 1.7, 4.0, 3.08),
     localizedSlider("Color Range", 0.6, 1.4, 1.16)},
    {"Green Stroke", "Color Strokes", kSaturation, kColorRange},
    {"Blue Stroke", "Color Strokes", kSaturation, kColorRange},
    {"Yellow Stroke", "Color Strokes", kSaturation, kColorRange},
    {"Magenta Stroke", "Color Strokes", kSaturation, kColorRange},
    {"Cyan Stroke", "Color Strokes", kSaturation, kColorRange},
};
constexpr LookSpec kPlaceholder{"CS", "Color Strokes", kSaturation, kColorRange};

} // namespace

int32_t PP_CS::look_count() const {
    return int32_t(std::size(kLooks));
}

const LookSpec* PP_CS::look_spec() const {
    return lookOfType(kLooks, m_type, &kPlaceholder);
}

void PP_CS::prepare_for_process() {
    m_saturation = param_1()->value();
    m_settings.saturation = float(m_saturation);
    m_settings.color_tolerance_scale = float(param_2()->value());
}

pixel_t PP_CS::process_pixel_x(int32_t x, int32_t y, int32_t pass) {
    (void)pass;
    switch (m_type) {
    case 0:
        return get_pixel_cs_red(x, y, m_settings);
    case 1:
        return get_pixel_cs_green(x, y, m_settings);
    case 2:
        return get_pixel_cs_blue(x, y, m_settings);
    case 3:
        return get_pixel_cs_yellow(x, y, m_settings);
    case 4:
        return get_pixel_cs_magenta(x, y, m_settings);
    case 5:
        return get_pixel_cs_cyan(x, y, m_settings);
    default:
        return get_source_pixel(x, y);
    }
}
