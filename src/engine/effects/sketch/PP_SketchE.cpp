#include "engine/effects/sketch/PP_SketchE.h"

#include "engine/PostProcessParameter.h"

#include <algorithm>
#include <cmath>

void PP_SketchE::prepare_for_process() {
    m_tex = sketch::load("Scetch_black.jpg");
    if (!m_tex) preparation_failed();
    m_contrast = param_1()->value();
    m_brightness = param_2()->value();
}

void PP_SketchE::process_ended() {
    m_tex.reset();
}

namespace {

// Soft light of the charcoal value a (at least 0) over the source channel c, at most 1.
float soft_light(float a, float c) {
    const double A = a, C = c;
    const double out = c < 0.5f ? 2.0 * A * C + double(a * a) * (1.0 - 2.0 * C)
                                : std::sqrt(A) * (2.0 * C - 1.0) + 2.0 * A * (1.0 - C);
    return float(std::min(out, 1.0));
}

} // namespace

pixel_t PP_SketchE::process_pixel_x(int32_t x, int32_t y, int32_t /*pass*/) {
    const sketch::Source s = sketch::source(x, y);
    const pixel_t a = sketch::charcoal(s, m_tex.get(), x, y, m_width, m_height, m_contrast, m_brightness);
    return {soft_light(std::max(a.r, 0.0f), s.c.r), soft_light(std::max(a.g, 0.0f), s.c.g),
            soft_light(std::max(a.b, 0.0f), s.c.b)};
}
