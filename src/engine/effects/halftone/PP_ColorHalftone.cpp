#include "engine/effects/halftone/PP_ColorHalftone.h"

#include "engine/PostProcessParameter.h"

// This class names its slider with the English word itself.
void PP_ColorHalftone::prepare_for_process() {
    screen_and_overlay(param_1()->value(), [](const uint8_t* s) {
        constexpr float kb = 0.003921569f;
        return pixel_t{float(s[1]) * kb, float(s[2]) * kb, float(s[3]) * kb};
    });
}
