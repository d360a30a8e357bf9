#include "engine/effects/distortion/PP_3DEffect.h"

#include "engine/PostProcessParameter.h"

#include <memory>

void PP_3DEffect::prepare_for_process() {
    m_amount = float(param_1()->value() * 20.0);
}

// This older class names its slider with the English word itself.
pixel_t PP_3DEffect::process_pixel_x(int32_t x, int32_t y, int32_t pass) {
    (void)pass;
    pixel_t p = get_source_pixel(x, y);
    const float shifted = float(x) + m_amount;
    // Positions at or past the right edge (NaN too) read the last column; the test comes before
    // the conversion, which would be undefined for huge values.
    int32_t from;
    if (!(shifted < float(m_width)))
        from = m_width - 1;
    else
        from = shifted > -1.0f ? int32_t(shifted) : -1;
    p.r = get_source_pixel(from, y).r;
    return p;
}
