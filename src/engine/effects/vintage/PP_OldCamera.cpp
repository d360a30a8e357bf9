#include "engine/effects/vintage/PP_OldCamera.h"

#include "engine/effects/ColourTone.h"

#include <mutex>

void PP_OldCamera::setup_overlays() {
    if (m_preview_mode)
        m_filter = ImageEditable::setup_overlay("Vignette2_small", preview_w, preview_h);
    else
        m_filter = ImageEditable::setup_overlay("Vignette2", m_width, m_height);
}

void PP_OldCamera::on_preview_entered() {
    PostProcess::on_preview_entered();
    m_in_preview = true;
}

void PP_OldCamera::on_preview_exit() {
    PostProcess::on_preview_exit();
    // A run still going would be reading the vignette.
    std::lock_guard guard(m_pp_lock);
    m_in_preview = false;
    m_filter.reset();
}

void PP_OldCamera::prepare_for_process() {
    // The vignette of the size being rendered: one kept from a preview would band a full-size run.
    setup_overlays();
    YIQMatrix = init_matrix(0.299f, 0.587f, 0.114f, 0.0f, 0.596f, -0.275f, -0.321f, 0.0f, 0.212f, -0.523f,
                            0.311f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f);
    inverseYIQ = init_matrix(1.0f, 0.95568806f, 0.6198581f, 0.0f, 1.0f, -0.2715818f, -0.6468738f, 0.0f, 1.0f,
                             -1.1081773f, 1.7050645f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f);
    m_contrast = param_1()->value();
    m_vignette = param_2()->value();
    const int32_t w = m_filter->width(), h = m_filter->height();
    m_transposed = (m_width > m_height && h > w) || (m_width < m_height && w > h);
}

pixel_t PP_OldCamera::process_pixel_x(int32_t x, int32_t y, int32_t /*pass*/) {
    const pixel_t t = m_transposed ? m_filter->get_pixel_relative_x(y, x, m_height, m_width)
                                   : m_filter->get_pixel_relative_x(x, y, m_width, m_height);
    const pixel_t s = get_source_pixel(x, y);
    const auto contrast = [this](float c) { return float((double(c) - 0.5) * m_contrast + 0.5); };
    const vec_t luma = matr4_rdot({contrast(s.r), contrast(s.g), contrast(s.b)}, YIQMatrix);
    const vec_t c = matr4_rdot({luma.x, 0.3f, 0.0f}, inverseYIQ);
    const auto shade = [this](float v, float tv) { return float(double(v) * double(tv) * m_vignette * 3.0); };
    return {shade(c.x, t.r), shade(c.y, t.g), shade(c.z, t.b)};
}

void PP_OldCamera::process_ended() {
    if (!m_in_preview) m_filter.reset();
}
