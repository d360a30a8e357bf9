#include "engine/effects/PP_Linocut.h"

#include "engine/effects/ColourTone.h"

#include <algorithm>
#include <cmath>

namespace {

// Truncated toward zero; values no slider gives are kept inside what an int holds.
int radius(double value) {
    const double v = std::trunc(value);
    return v == v ? int(std::clamp(v, -1e9, 1e9)) : 0;
}

// Mean of the three bytes of a bilinear sample: the sum in single precision, the third in double.
float mean(const texture_t* tex, float u, float v) {
    const uint32_t p = tex_get_pixel_bilinear(tex, u, v);
    const float sum = float((p >> 8) & 0xFF) / 255.0f + float(p & 0xFF) / 255.0f + float((p >> 16) & 0xFF) / 255.0f;
    return float(double(sum) * (1.0 / 3.0));
}

} // namespace

PP_Linocut::~PP_Linocut() {
    free_textures();
}

namespace {

constexpr SliderSpec kInner = localizedSlider("Inner Radius", 0.0, 20.0, 3.0);
constexpr SliderSpec kOuter = localizedSlider("Outer Radius", 7.0, 200.0, 10.0);
constexpr LookSpec kLooks[] = {
    {"Linocut", "Art", kInner, kOuter},
    {"Linocut 2", "Art", kInner, kOuter},
};

} // namespace

int32_t PP_Linocut::look_count() const {
    return int32_t(std::size(kLooks));
}

const LookSpec* PP_Linocut::look_spec() const {
    return lookOfType(kLooks, m_type, &kLooks[1]);
}

void PP_Linocut::free_textures() {
    tex_free(mp_tex1);
    tex_free(mp_tex2);
    mp_tex1 = mp_tex2 = nullptr;
}

void PP_Linocut::prepare_for_process() {
    free_textures();
    const auto create = m_type == 1 ? tex_create_inv : tex_create;
    mp_tex1 = create(m_width, m_height, gp_data, 4, 1.0f, 1.0f);
    mp_tex2 = create(m_width, m_height, gp_data, 4, 1.0f, 1.0f);
    if (!tex_blur_fast(mp_tex1, radius(param_1()->value())) || !tex_blur_fast(mp_tex2, radius(param_2()->value())))
        preparation_failed();
}

pixel_t PP_Linocut::process_pixel_x(int32_t x, int32_t y, int32_t /*pass*/) {
    // Out of memory in preparation: the picture is left as it is.
    if (!mp_tex1 || !mp_tex2) return get_source_pixel(x, y);
    const float u = float(x - 1) / float(m_width), v = float(y - 1) / float(m_height);
    const float m1 = mean(mp_tex1, u, v), m2 = mean(mp_tex2, u, v);
    const float c = m1 - m2 < 0.0f ? 1.0f : 0.0f;
    return {c, c, c};
}

void PP_Linocut::process_ended() {
    free_textures();
}
