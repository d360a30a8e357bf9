#include "engine/effects/hollywood/PP_HFX_Predator.h"

#include "engine/BlendFunctions.h"
#include "engine/effects/hollywood/HollywoodFX.h"

#include <algorithm>

pixel_t PP_HFX_Predator::process_pixel_x(int32_t x, int32_t y, int32_t pass) {
    (void)pass;
    const pixel_t src = get_source_pixel(x, y);
    const float mean = float(double(src.g + src.r + src.b) * (1.0 / 3.0));
    const float s = float(smoothstep(0.0, 1.6, double(mean)));
    const pixel_t k = hsv(s);
    // Cold colours at reduced strength, full strength from s = 0.5.
    const float m = float(std::min(1.0, double(s) + 0.5));
    return {k.r * m, k.g * m, k.b * m};
}
