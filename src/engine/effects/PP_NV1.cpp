#include "engine/effects/PP_NV1.h"

#include "engine/effects/ColourTone.h"

PostProcessParameter* PP_NV1::param_1() {
    return localizedParameter(m_param_1, "br", 0.0, 0.5, 0.22);
}

PostProcessParameter* PP_NV1::param_2() {
    return localizedParameter(m_param_2, "contr", 1.0, 2.0, 1.2);
}

void PP_NV1::prepare_for_process() {
    m_contrast = param_1()->value();
    m_gamma_range = param_2()->value();
}
