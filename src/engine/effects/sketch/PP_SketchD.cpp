#include "engine/effects/sketch/PP_SketchD.h"

#include "engine/PostProcessParameter.h"

#include <algorithm>

void PP_SketchD::prepare_for_process() {
    m_tex = sketch::load("Scetch_black.jpg");
    if (!m_tex) preparation_failed();
    m_contrast = param_1()->value();
    m_brightness = param_2()->value();
}

void PP_SketchD::process_ended() {
    m_tex.reset();
}

pixel_t PP_SketchD::process_pixel_x(int32_t x, int32_t y, int32_t /*pass*/) {
    const pixel_t a = sketch::charcoal(sketch::source(x, y), m_tex.get(), x, y, m_width, m_height, m_contrast,
                                       m_brightness);
    return {std::clamp(a.r, 0.0f, 1.0f), std::clamp(a.g, 0.0f, 1.0f), std::clamp(a.b, 0.0f, 1.0f)};
}
