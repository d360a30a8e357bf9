#include "engine/effects/distortion/PP_SimmetryVertical.h"

pixel_t PP_SimmetryVertical::process_pixel_x(int32_t x, int32_t y, int32_t /*pass*/) {
    const int32_t h = m_width / 2;
    return get_source_pixel(x <= h ? x : 2 * h - x, y);
}
