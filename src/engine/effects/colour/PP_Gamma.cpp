#include "engine/effects/colour/PP_Gamma.h"

#include "engine/effects/ColourTone.h"

#include <cmath>

// The hook reads the slider itself; making it here keeps its first creation off the worker threads.
void PP_Gamma::prepare_for_process() {
    param_1();
}

pixel_t PP_Gamma::process_pixel_x(int32_t x, int32_t y, int32_t pass) {
    (void)pass;
    const float e = 1.0f / float(param_1()->value());
    const pixel_t c = get_source_pixel(x, y);
    const auto curve = [e](float v) { return std::min(1.0f, powf(v, e)); };
    return {curve(c.r), curve(c.g), curve(c.b)};
}
