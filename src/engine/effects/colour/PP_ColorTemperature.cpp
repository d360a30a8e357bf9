#include "engine/effects/colour/PP_ColorTemperature.h"

#include "engine/PostProcessParameter.h"

#include <algorithm>

namespace {

// The black-body white-balance colours the looks use: rows 0, 10, 18, 30, 50 and 80 of an
// 81-row table, each with largest component 1. Indexed by type; 0 also serves unknown types.
constexpr pixel_t blackBodyWhiteBalance[6] = {
    {1.0f, 0.6636f, 0.3583f}, {1.0f, 0.7992f, 0.6045f}, {1.0f, 0.8836f, 0.8f},
    {0.9337f, 0.915f, 1.0f},  {0.6925f, 0.7522f, 1.0f}, {0.5431f, 0.6389f, 1.0f},
};

} // namespace

namespace {

constexpr SliderSpec kAmount = localizedSlider("Amount", 0.1, 2.0, 1.0);
constexpr LookSpec kLooks[] = {
    {"Cold Blue", "Color Temperature", kAmount},   {"Cool Blue", "Color Temperature", kAmount},
    {"Cool", "Color Temperature", kAmount},        {"Warm", "Color Temperature", kAmount},
    {"Warm Yellow", "Color Temperature", kAmount}, {"Hot Yellow", "Color Temperature", kAmount},
};
constexpr LookSpec kPlaceholder{"none", "Color Temperature", kAmount};

} // namespace

int32_t PP_ColorTemperature::look_count() const {
    return int32_t(std::size(kLooks));
}

const LookSpec* PP_ColorTemperature::look_spec() const {
    return lookOfType(kLooks, m_type, &kPlaceholder);
}

void PP_ColorTemperature::prepare_for_process() {
    const pixel_t row = blackBodyWhiteBalance[m_type >= 1 && m_type <= 5 ? m_type : 0];
    const pixel_t inv{1.0f / row.r, 1.0f / row.g, 1.0f / row.b};
    const float m = std::min(std::min(inv.r, inv.g), inv.b);
    m_rgb_mult = {inv.r / m, inv.g / m, inv.b / m};
    m_float_param1 = param_1()->value();
}

pixel_t PP_ColorTemperature::process_pixel_x(int32_t x, int32_t y, int32_t pass) {
    (void)pass;
    const pixel_t c = get_source_pixel(x, y);
    const float a = float(m_float_param1);
    const auto one = [a](float gain, float v) { return (gain * v - v) * a + v; };
    return {one(m_rgb_mult.r, c.r), one(m_rgb_mult.g, c.g), one(m_rgb_mult.b, c.b)};
}
