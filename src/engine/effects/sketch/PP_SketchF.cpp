#include "engine/effects/sketch/PP_SketchF.h"

#include "engine/PostProcessParameter.h"

void PP_SketchF::prepare_for_process() {
    if (!sketch::load_all({{&m_scrapes1, "Scpaper-crs_2x.jpg"},
                           {&m_scrapes2, "Scpaper-obl_2x.jpg"},
                           {&m_scrapes3, "Scpaper-vert2_2x.jpg"},
                           {&m_tex, "pf_old_paper.jpg"}}))
        preparation_failed();
    m_radius = sketch::radius(getEdgesScale(), param_1()->value());
    m_contrast = param_2()->value();
}

void PP_SketchF::process_ended() {
    m_scrapes1.reset();
    m_scrapes2.reset();
    m_scrapes3.reset();
    m_tex.reset();
}

pixel_t PP_SketchF::process_pixel_x(int32_t x, int32_t y, int32_t /*pass*/) {
    const sketch::Source s = sketch::source(x, y);
    const float u = float(x) * 2.5f / float(m_width);
    const float v = float(y) * 2.5f / float(m_height);
    const float out = sketch::pencil(s, x, y, u, v, m_scrapes1, m_scrapes2, m_scrapes3, m_contrast, m_radius);
    // Vertical position first: the paper lies transposed.
    const uint32_t p =
        tex_get_pixel_bilinear_rgba(m_tex.get(), float(y) / float(m_height), float(x) / float(m_width));
    return {float(p & 0xFF) / 255.0f * out, float((p >> 8) & 0xFF) / 255.0f * out,
            float((p >> 16) & 0xFF) / 255.0f * out};
}
