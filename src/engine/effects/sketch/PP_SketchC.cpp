#include "engine/effects/sketch/PP_SketchC.h"

#include "engine/PostProcessParameter.h"

#include <algorithm>

void PP_SketchC::prepare_for_process() {
    if (!sketch::load_all({{&m_scrapes1, "Scpaper-crs_2x.jpg"},
                           {&m_scrapes2, "Scpaper-obl_2x.jpg"},
                           {&m_scrapes3, "Scpaper-vert2_2x.jpg"}}))
        preparation_failed();
    m_contrast = param_1()->value();
    m_brightness = param_2()->value();
    m_radius = sketch::radius(getEdgesScale(), 5.0);
}

void PP_SketchC::process_ended() {
    m_scrapes1.reset();
    m_scrapes2.reset();
    m_scrapes3.reset();
}

pixel_t PP_SketchC::process_pixel_x(int32_t x, int32_t y, int32_t /*pass*/) {
    const sketch::Source s = sketch::source(x, y);
    const float u = float(x) * 3.0f / float(m_width);
    const float v = float(y) * 3.0f / float(m_height);
    const uint32_t t =
        tex_get_pixel_bilinear_rgba(sketch::stroke(s.lum, m_scrapes1, m_scrapes2, m_scrapes3), u, v);
    const int32_t bytes = int32_t(t & 0xFF) + int32_t((t >> 8) & 0xFF) + int32_t((t >> 16) & 0xFF);
    float hatch = std::max(0.0f, 2.0f * (float(bytes) * 0.0013071896f - sketch::kPaper) + sketch::kPaper);
    hatch = std::min(1.0f, hatch);
    const float e = sketch::edge(x, y, m_radius, s.sum);
    float tone = float((double(s.lum) - 0.5) * m_contrast * 0.25 + 0.5);
    tone = std::clamp(tone, 0.0f, 1.0f);
    const float k = hatch * (e + tone) * 0.5f;
    const float k2 = k * k;
    const double s2 = double(k) * 2.0;
    const auto ink = [&](double p, double white) {
        const float c = float(s2 * p / 255.0 + double(k2) * white / 255.0);
        return std::clamp(float(double(c) + m_brightness), 0.0f, 1.0f);
    };
    return {ink(18.0, 219.0), ink(30.0, 195.0), ink(125.0, 5.0)};
}
