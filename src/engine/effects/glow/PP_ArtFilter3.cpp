#include "engine/effects/glow/PP_ArtFilter3.h"

#include "engine/effects/SmallEffects.h"
#include "kernels/blur/fast_blur.h"

#include <algorithm>

PP_ArtFilter3::~PP_ArtFilter3() {
    m_output.release(mp_tex);
}

void PP_ArtFilter3::prepare_for_process() {
    m_scale = param_1()->value();
    m_scale2 = param_2()->value();
    const int32_t r =
        small_effects::truncated(double(float(std::min(m_width, m_height))) / (m_scale2 * 200.0));
    m_output.release(mp_tex);
    mp_tex = m_preview_mode ? tex_create_empty(m_width, m_height, 4) : m_output.take();
    const int32_t radius = std::max(r, 1);
    if (!mp_tex || !fast_blur_ed_argb(gp_data, mp_tex->data, m_width, m_height, 4 * mp_tex->width,
                                      4 * mp_tex->width, radius, radius))
        preparation_failed();
    m_output.hand_back();
}

pixel_t PP_ArtFilter3::process_pixel_x(int32_t x, int32_t y, int32_t pass) {
    (void)pass;
    // The true colour of every column, the last included, as the bloom's edge look reads it.
    const pixel_t s = get_source_pixel(x, y);
    if (!mp_tex) return s;
    const uint8_t* t = mp_tex->data + (size_t(y) * size_t(mp_tex->width) + size_t(x)) * 4;
    const auto channel = [this](float c, uint8_t mask) { return c * float((1.0 - mask / 255.0) * m_scale); };
    return {channel(s.r, t[1]), channel(s.g, t[2]), channel(s.b, t[3])};
}

void PP_ArtFilter3::process_ended() {
    m_output.release(mp_tex);
}
