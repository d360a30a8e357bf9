#include "engine/effects/PP_ComixHalftone.h"

#include "engine/PostProcessParameter.h"
#include "kernels/color_halftone.h"
#include "kernels/smart_posterize.h"
#include "platform/graphics/ParallelRows.h"
#include "platform/services/KXSLocalization.h"

#include <memory>

PostProcessParameter* PP_ComixHalftone::param_1() {
    if (!m_param_1)
        m_param_1 = std::make_shared<PostProcessParameter>(
            services::KXSLocalization::localizedStringForKey("Colors", ""), 0.0, 1.0, double(0.81f));
    return m_param_1.get();
}

PostProcessParameter* PP_ComixHalftone::param_2() {
    if (!m_param_2)
        m_param_2 = std::make_shared<PostProcessParameter>(
            services::KXSLocalization::localizedStringForKey("Size", ""), 0.0, 1.0, double(0.7f));
    return m_param_2.get();
}

void PP_ComixHalftone::prepare_for_process() {
    if (!create_texture()) return;
    float k = 1.0f;
    const uint8_t* src = run_source(k);
    if (!src) return;
    const int32_t w = mp_tex->width, h = mp_tex->height;
    texture_t* dots = tex_create_empty(w, h, 4);
    if (!dots || !smart_posterize(src, mp_tex->data, w, h, posterize_levels(param_1()->value()), 10, 256)) {
        tex_free(dots);
        free_texture();
        release_source();
        preparation_failed();
        return;
    }
    color_halftone(mp_tex->data, dots->data, w, h, float(param_2()->value() * 5.0 * double(k)));

    // The outline radius does not follow the preview scale.
    graphics::parallelRows(h, size_t(w), [&](int32_t y0, int32_t y1) {
        for (int32_t y = y0; y < y1; ++y)
            for (int32_t x = 0; x < w; ++x) {
                const size_t at = (size_t(y) * size_t(w) + size_t(x)) * 4;
                const float f = edge_factor(src, w, h, x, y, 4.0f, 4.0f);
                const uint8_t* d = dots->data + at;
                const uint8_t layer[3] = {uint8_t(float(d[1]) * f), uint8_t(float(d[2]) * f),
                                          uint8_t(float(d[3]) * f)};
                uint8_t* p = mp_tex->data + at;
                constexpr float kb = 0.003921569f;
                overlay_bytes({float(p[1]) * kb, float(p[2]) * kb, float(p[3]) * kb}, layer, p + 1);
            }
    });
    tex_free(dots);
    release_source();
}
