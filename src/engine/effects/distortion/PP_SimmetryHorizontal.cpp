#include "engine/effects/distortion/PP_SimmetryHorizontal.h"

pixel_t PP_SimmetryHorizontal::process_pixel_x(int32_t x, int32_t y, int32_t /*pass*/) {
    const int32_t h = m_height / 2;
    return get_source_pixel(x, y <= h ? y : 2 * h - y);
}
