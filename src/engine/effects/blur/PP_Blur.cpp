#include "engine/effects/blur/PP_Blur.h"

#include "engine/PostProcessParameter.h"
#include "engine/effects/ColourTone.h"
#include "engine/effects/SmallEffects.h"
#include "kernels/blur/fast_blur.h"
#include "kernels/blur/gaussian_blur.h"

#include <algorithm>
#include <cmath>

PP_Blur::~PP_Blur() {
    tex_free(mp_tex);
}

namespace {

constexpr SliderSpec kAmount = localizedSlider("Amount", 0.05, 1.0, 0.5);
constexpr LookSpec kLooks[] = {
    {"Blur", "Blur", kAmount},
    {"Horizontal Blur", "Blur", kAmount},
    {"Vertical Blur", "Blur", kAmount},
};
constexpr LookSpec kPlaceholder{"none", "Blur", kAmount};

} // namespace

int32_t PP_Blur::look_count() const {
    return int32_t(std::size(kLooks));
}

const LookSpec* PP_Blur::look_spec() const {
    return lookOfType(kLooks, m_type, &kPlaceholder);
}

void PP_Blur::set_type(int32_t type) {
    PostProcess::set_type(type);
    if (type == 0) gaussianMatrixForRadius(100);
}

void PP_Blur::prepare_for_process() {
    tex_free(mp_tex);
    mp_tex = nullptr;
    if (m_type < 0 || m_type > 2) return;
    mp_tex = tex_create_empty(m_width, m_height, 4);
    if (!mp_tex) {
        preparation_failed();
        return;
    }
    const int32_t row = 4 * mp_tex->width;
    if (m_type != 0) {
        const float a = param_1()->get_inverted_value();
        const double side = double(float(std::min(m_width, m_height)));
        const int32_t r = std::max(1, small_effects::truncated(side / (double(a) * 120.0)));
        if (!fast_blur_argb(gp_data, mp_tex->data, m_width, m_height, row, row, m_type == 2 ? r : 0,
                            m_type == 1 ? r : 0))
            preparation_failed();
        return;
    }
    const int32_t w = m_preview_mode ? preview_w : m_width;
    const float g = roundf(float(double(w) * (param_1()->value() * 15.0) / 1000.0));
    // A radius that rounds below 1 has no kernel row: the one-tap identity copies the photo.
    const size_t radius = g >= 1.0f ? size_t(small_effects::truncated(g)) : 0;
    const float* kernel = gaussianMatrixForRadius(radius);
    // Rounded: truncating passes would darken every flat area by a level or two.
    if (!kernel || !gaussianBlurARGB(gp_data, mp_tex->data, m_width, m_height, kernel, int(2 * radius + 1),
                                     step_x, true))
        preparation_failed();
}

pixel_t PP_Blur::process_pixel_x(int32_t x, int32_t y, int32_t pass) {
    (void)pass;
    if (!mp_tex) return {0.0f, 0.0f, 0.0f};
    const uint8_t* t = mp_tex->data + (size_t(y) * size_t(mp_tex->width) + size_t(x)) * 4;
    return {float(t[1]) / 255.0f, float(t[2]) / 255.0f, float(t[3]) / 255.0f};
}

void PP_Blur::process_ended() {
    tex_free(mp_tex);
    mp_tex = nullptr;
}
