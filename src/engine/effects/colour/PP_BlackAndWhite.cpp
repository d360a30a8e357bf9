#include "engine/effects/colour/PP_BlackAndWhite.h"

#include "engine/effects/SmallEffects.h"

void PP_BlackAndWhite::prepare_for_process() {
    m_contrast = param_1()->value();
    m_k = float(m_contrast);
}

pixel_t PP_BlackAndWhite::process_pixel_x(int32_t x, int32_t y, int32_t pass) {
    (void)pass;
    const pixel_t s = get_source_pixel(x, y);
    const float v = float((double(s.g) * 0.59 + double(s.r) * 0.33) + double(s.b) * 0.11);
    const float c = (v - 0.5f) * m_k + 0.5f;
    return {c, c, c};
}
