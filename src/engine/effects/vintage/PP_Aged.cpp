#include "engine/effects/vintage/PP_Aged.h"

#include "engine/PostProcessParameter.h"

#include <algorithm>
#include <cmath>

void PP_Aged::prepare_for_process() {
    m_contrast = param_1()->value();
    const int32_t w = g_width, h = g_height;
    m_half_w = float(w / 2);
    m_half_h = float(h / 2);
    m_scale_x = w > h ? float(h) / float(w) : 1.0f;
    m_scale_y = w > h ? 1.0f : float(w) / float(h);
    m_falloff = float(std::min(w, h)) * 1.1f * 0.5f;
}

pixel_t PP_Aged::process_pixel_x(int32_t x, int32_t y, int32_t /*pass*/) {
    const pixel_t p = get_source_pixel(x, y);
    const float grey = ((p.g + p.r) + p.b) / 3.0f;
    const float dx = (m_half_w - float(x)) * m_scale_x;
    const float dy = (m_half_h - float(y)) * m_scale_y;
    float v = std::sqrt(dx * dx + dy * dy) * -0.75f / m_falloff + 1.1f;
    v = std::max(v, 0.1f);
    const double d = double(grey * v - 0.5f);
    float c = float((m_contrast + 1.0) * d + 0.5);
    c = std::clamp(c, 0.0f, 1.0f);
    return {c + 0.1f, c + 0.1f, c};
}
