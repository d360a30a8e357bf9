#include "engine/effects/sketch/PP_PencilPaint.h"

#include "engine/Neighbourhood.h"
#include "engine/effects/ColourTone.h"

void PP_PencilPaint::prepare_for_process() {
    m_inner_edge = param_1()->value();
    m_outer_edge = param_2()->max_value() - param_2()->value();
}

pixel_t PP_PencilPaint::process_pixel_x(int32_t x, int32_t y, int32_t /*pass*/) {
    const float w = 1.0f - do_edge_detection(x, y, false, float(m_inner_edge), 0.0f, 0.0f);
    const pixel_t s = get_source_pixel(x, y);
    // Paper colour (232, 216, 178).
    const pixel_t tinted{s.r * 0.9098039f, s.g * 0.84705883f, s.b * 0.69803923f};
    const auto wash = [this, w](float c) {
        return float((double(1.0f - c) * m_outer_edge + double(c)) * double(w));
    };
    return {wash(tinted.r), wash(tinted.g), wash(tinted.b)};
}
