#include "engine/effects/PP_ColorHalftone.h"

#include "engine/PostProcessParameter.h"
#include "kernels/color_halftone.h"
#include "platform/graphics/ParallelRows.h"

#include <memory>

// This class names its slider with the English word itself.
PostProcessParameter* PP_ColorHalftone::param_1() {
    if (!m_param_1) m_param_1 = std::make_shared<PostProcessParameter>("Size", 0.0, 0.3, double(0.1f));
    return m_param_1.get();
}

void PP_ColorHalftone::prepare_for_process() {
    if (!create_texture()) return;
    float k = 1.0f;
    const uint8_t* src = run_source(k);
    if (!src) return;
    const int32_t w = mp_tex->width, h = mp_tex->height;
    color_halftone(src, mp_tex->data, w, h, float(param_1()->value() * 20.0 * double(k)));
    graphics::parallelRows(h, size_t(w), [&](int32_t y0, int32_t y1) {
        constexpr float kb = 0.003921569f;
        for (size_t i = size_t(y0) * size_t(w); i < size_t(y1) * size_t(w); ++i) {
            const uint8_t* s = src + i * 4;
            uint8_t* p = mp_tex->data + i * 4;
            overlay_bytes({float(s[1]) * kb, float(s[2]) * kb, float(s[3]) * kb}, p + 1, p + 1);
        }
    });
    release_source();
}
