#include "engine/effects/painterly/PP_Oilify.h"

#include "engine/PostProcessParameter.h"
#include "kernels/paint/oilify.h"

#include <memory>

// The disc is not scaled in preview: the preview shows strokes as large as the final render's.
void PP_Oilify::prepare_for_process() {
    if (!create_texture(true)) return;
    float k = 1.0f;
    const uint8_t* src = run_source(k);
    if (!src) return;
    if (!oilify(src, mp_tex->data, mp_tex->width, mp_tex->height, float(param_1()->value() * 50.0)))
        preparation_failed();
    release_source();
}
