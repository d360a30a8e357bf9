#include "engine/effects/distortion/PP_SimmetryQuad.h"

pixel_t PP_SimmetryQuad::process_pixel_x(int32_t x, int32_t y, int32_t /*pass*/) {
    const int32_t hw = m_width / 2, hh = m_height / 2;
    return get_source_pixel(x > hw ? 2 * hw - x : x, y >= hh ? 2 * hh - y : y);
}
