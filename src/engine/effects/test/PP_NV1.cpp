#include "engine/effects/test/PP_NV1.h"

#include "engine/effects/ColourTone.h"

void PP_NV1::prepare_for_process() {
    m_contrast = param_1()->value();
    m_gamma_range = param_2()->value();
}
