#include "engine/effects/painterly/PP_SmartPosterize.h"

#include "engine/PostProcessParameter.h"
#include "kernels/paint/smart_posterize.h"
#include "platform/graphics/ParallelRows.h"

#include <memory>

void PP_SmartPosterize::prepare_for_process() {
    if (!create_texture(true)) return;
    float k = 1.0f;
    const uint8_t* src = run_source(k);
    if (!src) return;
    const int32_t w = mp_tex->width, h = mp_tex->height;
    const double softness = param_2()->value();
    // 256 (plain) to 512; the clamp only guards values the slider cannot give.
    const double gain = (softness + 1.0) * 256.0;
    const int contrast = gain > -65536.0 ? (gain < 65536.0 ? int(gain) : 65536) : -65536;
    if (!smart_posterize(src, mp_tex->data, w, h, posterize_levels(param_1()->value()), 10, contrast)) {
        release_source();
        preparation_failed();
        return;
    }

    const float radius = 2.0f * k;
    graphics::parallelRows(h, size_t(w), [&](int32_t y0, int32_t y1) {
        for (int32_t y = y0; y < y1; ++y)
            for (int32_t x = 0; x < w; ++x) {
                const float f = edge_factor(src, w, h, x, y, radius, 8.0f);
                uint8_t* p = mp_tex->data + (size_t(y) * size_t(w) + size_t(x)) * 4;
                p[0] = 0;
                p[1] = uint8_t(float(p[1]) * f);
                p[2] = uint8_t(float(p[2]) * f);
                p[3] = uint8_t(float(p[3]) * f);
            }
    });
    release_source();
}
