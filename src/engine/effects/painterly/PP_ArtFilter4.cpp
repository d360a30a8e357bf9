#include "engine/effects/painterly/PP_ArtFilter4.h"

#include "engine/effects/SmallEffects.h"

#include <cmath>

void PP_ArtFilter4::prepare_for_process() {
    m_amount = small_effects::truncated(param_1()->value());
    m_levels = float(m_amount);
}

pixel_t PP_ArtFilter4::process_pixel_x(int32_t x, int32_t y, int32_t pass) {
    (void)pass;
    const pixel_t s = get_source_pixel(x, y);
    const float n = m_levels;
    return {std::trunc(s.r * n) / n, std::trunc(s.g * n) / n, std::trunc(s.b * n) / n};
}
