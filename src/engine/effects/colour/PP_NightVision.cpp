#include "engine/effects/colour/PP_NightVision.h"

#include "engine/Neighbourhood.h"
#include "engine/effects/ColourTone.h"

#include <algorithm>

void PP_NightVision::prepare_for_process() {
    // Through the getters: a parameter not yet requested is made first, never read as absent.
    m_param1v = float(param_1()->value());
    const PostProcessParameter* second = param_2();
    m_param2v = second ? float(second->value()) : 0.0f;
}

pixel_t PP_NightVision::process_pixel_x(int32_t x, int32_t y, int32_t pass) {
    (void)pass;
    pixel_t po = get_source_pixel(x, y);
    const pixel_t blur = do_blur3(x, y, 4, 1);
    const double l = std::clamp(double(blur.g + blur.r + blur.b) * (1.0 / 3.0), 0.0, 1.0);
    clapmPixel(&po);
    if (l <= 0.4) {
        const double gain = double(m_param1v) * ((l - 0.5) * (l - 0.5) * 3.0) + 1.0;
        po = {float(double(po.r) * gain), float(double(po.g) * gain), float(double(po.b) * gain)};
    }
    return po;
}
