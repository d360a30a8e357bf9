#include "engine/effects/blur/PP_Explosion.h"

#include "engine/Neighbourhood.h"
#include "engine/PostProcessParameter.h"
#include "engine/effects/ColourTone.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kSamples = 35;

} // namespace

void PP_Explosion::prepare_for_process() {
    m_blur_scale = param_1()->value();
    m_canter_radius = param_2()->get_inverted_value();
    const graphics::Point c = newEffectCenter();
    m_cx = int32_t(c.x);
    m_cy = int32_t(c.y);
}

pixel_t PP_Explosion::process_pixel_x(int32_t x, int32_t y, int32_t pass) {
    (void)pass;
    using neighbourhood_detail::trunc_coord;
    if (!gp_data) return {0.0f, 0.0f, 0.0f};
    const int32_t dx = x - m_cx, dy = y - m_cy;
    const int32_t dist = int32_t(std::sqrt(double(dx) * double(dx) + double(dy) * double(dy)));
    // No direction at the centre itself.
    if (dist == 0) return get_source_pixel(x, y);
    const float t = float(dist) / float(std::max(m_width, m_height));
    const float q = t * t;
    const float a = float(std::clamp(double(q) * m_canter_radius, 0.0, 1.0));
    const float s = float(m_blur_scale);
    const float ux = float(dx) / float(dist), uy = float(dy) / float(dist);
    constexpr float k = 1.0f / 255.0f;
    const size_t bpp = size_t(g_bpp_dv);
    pixel_t po{0.0f, 0.0f, 0.0f};
    int count = 0;
    for (int i = 0; i < kSamples; ++i) {
        const int32_t u = trunc_coord(float(x) - ux * float(i) * s * a);
        const int32_t v = trunc_coord(float(y) - uy * float(i) * s * a);
        if (u < 0 || v < 0 || u >= g_width || v >= g_height) continue;
        const uint8_t* p = gp_data + (size_t(v) * size_t(g_width) + size_t(u)) * bpp;
        po.r += float(p[1]) * k;
        po.g += float(p[2]) * k;
        po.b += float(p[3]) * k;
        ++count;
    }
    if (count == 0) return get_source_pixel(x, y);
    const float n = float(count);
    return {po.r / n, po.g / n, po.b / n};
}
