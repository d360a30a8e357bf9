#include "engine/effects/blur/PP_RadialBlur.h"

#include "engine/effects/ColourTone.h"
#include "kernels/blur/special_blur.h"

#include <algorithm>
#include <cmath>

namespace {

// Truncated toward zero; values no slider gives are kept inside what an int holds.
int to_int(double value) {
    const double v = std::trunc(value);
    return v == v ? int(std::clamp(v, -1e9, 1e9)) : 0;
}

} // namespace

PP_RadialBlur::~PP_RadialBlur() {
    tex_free(mp_tex);
}

namespace {

constexpr SliderSpec kAmount = localizedSlider("Amount", 0.0, 0.5, 0.32);
constexpr SliderSpec kRange = localizedSlider("Range", 0.005, 0.5, 0.04);
constexpr LookSpec kLooks[] = {
    {"Radial Blur", "Blur", localizedSlider("Amount", 0.0, 0.5, 0.45), kRange},
    {"Tilt-Shift", "Blur", kAmount, kRange},
    {"Upper Tilt-Shift", "Blur", kAmount, kRange},
    {"Upper Tilt-Shift", "Blur", kAmount, kRange},
};
constexpr LookSpec kPlaceholder{"AAAProblem!", "Blur", kAmount, kRange};

} // namespace

int32_t PP_RadialBlur::look_count() const {
    return int32_t(std::size(kLooks));
}

const LookSpec* PP_RadialBlur::look_spec() const {
    return lookOfType(kLooks, m_type, &kPlaceholder);
}

void PP_RadialBlur::prepare_for_process() {
    tex_free(mp_tex);
    mp_tex = nullptr;
    if (m_type < 0 || m_type > 3) return;
    const int32_t w = m_width, h = m_height;
    mp_tex = tex_create_empty(w, h, 4);
    if (!mp_tex) {
        preparation_failed(); // the blur would be missing from every pixel
        return;
    }

    // Amount is read inverted: 0.5 - Amount.
    const double a = param_1()->get_inverted_value();
    const double d = a < 0.02 ? 0.9999999776482582 : 50.0 * a;
    int limit = to_int(double(float(std::min(w, h))) * 0.25 / d);
    if (limit <= 0) limit = 1;
    const int sharp = to_int(param_2()->value() * double(std::max(w, h)));
    const int row_bytes = w * 4;
    const graphics::Point centre = newEffectCenter();
    switch (m_type) {
    case 0:
        blur_radial_argb(gp_data, mp_tex->data, w, h, row_bytes, row_bytes, to_int(centre.x),
                         to_int(centre.y), limit, sharp);
        break;
    case 1:
        blur_vertical_argb(gp_data, mp_tex->data, w, h, row_bytes, row_bytes, to_int(centre.y), limit, sharp);
        break;
    case 2:
        blur_vertical_argb(gp_data, mp_tex->data, w, h, row_bytes, row_bytes, 0, limit, sharp);
        break;
    default:
        blur_vertical_argb(gp_data, mp_tex->data, w, h, row_bytes, row_bytes, g_height, limit, sharp);
        break;
    }
}

pixel_t PP_RadialBlur::process_pixel_x(int32_t x, int32_t y, int32_t /*pass*/) {
    if (!mp_tex) return get_source_pixel(x, y);
    const uint8_t* p = mp_tex->data + (size_t(y) * size_t(mp_tex->width) + size_t(x)) * 4;
    return {float(p[1]) / 255.0f, float(p[2]) / 255.0f, float(p[3]) / 255.0f};
}

void PP_RadialBlur::process_ended() {
    tex_free(mp_tex);
    mp_tex = nullptr;
}
