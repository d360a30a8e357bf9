#include "engine/effects/halftone/PP_GrayHalftone.h"

#include "engine/PostProcessParameter.h"

void PP_GrayHalftone::prepare_for_process() {
    screen_and_overlay(param_1()->value(), [](const uint8_t* s) {
        constexpr float kb = 0.003921569f;
        const float l = float((float(s[2]) * kb + float(s[1]) * kb + float(s[3]) * kb) / 3.0);
        return pixel_t{l, l, l};
    });
}
