#include "engine/effects/blur/PP_Sharpen.h"

#include "engine/PostProcessParameter.h"
#include "kernels/blur/gaussian_blur.h"

#include <algorithm>
#include <cmath>
#include <memory>

PP_Sharpen::~PP_Sharpen() {
    tex_free(mp_tex);
}

void PP_Sharpen::prepare_for_process() {
    tex_free(mp_tex);
    mp_tex = tex_create_empty(m_width, m_height, 4);
    m_amount = float(param_2()->value());
    const float r = std::max(0.0f, roundf(float(param_1()->value())));
    const float* kernel = gaussianMatrixForRadius(size_t(r));
    // Rounded: a truncated blur sits below flat areas, and sharpening would brighten them.
    // A radius of 0 has no kernel: the photo passes unchanged.
    const bool blurred = mp_tex && kernel &&
                         gaussianBlurARGB(gp_data, mp_tex->data, m_width, m_height, kernel,
                                          int(2.0f * r + 1.0f), step_x, true);
    if (!blurred) {
        if (!mp_tex || r > 0.0f) preparation_failed(); // a kernel of radius 1 or more ran out of memory
        tex_free(mp_tex);
        mp_tex = nullptr;
    }
}

pixel_t PP_Sharpen::process_pixel_x(int32_t x, int32_t y, int32_t pass) {
    (void)pass;
    const pixel_t s = get_source_pixel(x, y);
    if (!mp_tex) return s;
    const uint8_t* b = mp_tex->data + (size_t(y) * size_t(mp_tex->width) + size_t(x)) * 4;
    const auto sharpen = [this](float source, uint8_t blurred) {
        const float v = (source - float(blurred / 255.0)) * m_amount + source;
        return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
    };
    return {sharpen(s.r, b[1]), sharpen(s.g, b[2]), sharpen(s.b, b[3])};
}

void PP_Sharpen::process_ended() {
    tex_free(mp_tex);
    mp_tex = nullptr;
}
