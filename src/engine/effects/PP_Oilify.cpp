#include "engine/effects/PP_Oilify.h"

#include "engine/PostProcessParameter.h"
#include "kernels/oilify.h"
#include "platform/services/KXSLocalization.h"

#include <memory>

PostProcessParameter* PP_Oilify::param_1() {
    if (!m_param_1)
        m_param_1 = std::make_shared<PostProcessParameter>(
            services::KXSLocalization::localizedStringForKey("Size", ""), 0.0, 1.0, double(0.2f));
    return m_param_1.get();
}

// The disc is not scaled in preview: the preview shows strokes as large as the final render's.
void PP_Oilify::prepare_for_process() {
    if (!create_texture()) return;
    float k = 1.0f;
    const uint8_t* src = run_source(k);
    if (!src) return;
    oilify(src, mp_tex->data, mp_tex->width, mp_tex->height, float(param_1()->value() * 50.0));
    release_source();
}
