#include "engine/effects/hollywood/PP_HFX_SinCity.h"

#include "engine/effects/hollywood/HollywoodFX.h"

#include <algorithm>

void PP_HFX_SinCity::prepare_for_process() {
    m_contrast = float(param_1()->value());
    m_saturation = float(param_2()->value());
}

pixel_t PP_HFX_SinCity::process_pixel_x(int32_t x, int32_t y, int32_t pass) {
    (void)pass;
    const pixel_t src = get_source_pixel(x, y);
    const pixel_t a = hollywood_fx::scaled(hollywood_fx::contrast(src, m_contrast), 1.4);
    const float m = (a.g + a.r + a.b) / 3.0f;
    const float rb = src.r - src.b;
    const float rg = src.r - src.g;
    if (rb > 0.0f && rg > 0.0f) {
        const float d = std::min(rb, rg);
        if (double(d) > 0.19) {
            const pixel_t s = do_saturation(src, m_saturation);
            const float w = float(double(d) - 0.19) * 2.0f;
            return {m + (s.r - m) * w, m + (s.g - m) * w, m + (s.b - m) * w};
        }
    }
    return {m, m, m};
}
