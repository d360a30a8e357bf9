#include "engine/effects/sketch/PP_PencilPaint2.h"

#include "engine/Neighbourhood.h"
#include "engine/PostProcessParameter.h"
#include "engine/effects/ColourTone.h"

void PP_PencilPaint2::prepare_for_process() {
    m_inner_edge = param_1()->value() + 2.0;
    m_outer_edge = param_2() ? param_2()->value() : 0.0;
}

pixel_t PP_PencilPaint2::process_pixel_x(int32_t x, int32_t y, int32_t /*pass*/) {
    const float v = 1.0f - do_edge_detection(x, y, false, float(m_inner_edge), 0.0f, 0.0f);
    return {v, v, v};
}
