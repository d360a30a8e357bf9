#include "engine/effects/blur/PP_Denoise.h"

#include "engine/PostProcessParameter.h"
#include "kernels/denoise/denoise.h"
#include "platform/foundation/Thread.h"
#include "platform/graphics/ParallelRows.h"

#include <memory>

namespace {

int progress_callback(float fraction, void* context) {
    return static_cast<PP_Denoise*>(context)->progress_callback(fraction) ? 1 : 0;
}

} // namespace

void PP_Denoise::prepare_for_process() {
    // The denoiser's percentages are the run's progress; the pixel loop that follows reports only
    // beyond the last of them, so the bar does not jump back.
    m_prev_precent = -1;
    if (!create_texture()) return;
    // The denoiser leaves the alpha bytes to the copy.
    copy_reduced_source(mp_tex->data, mp_tex->width, mp_tex->height);
    // Amount 0 (and anything below, which no slider gives) is no noise: the picture as it is.
    const double value = param_1()->value();
    const float amount = value > 0.0 ? float(value) : 0.0f;
    if (!denoise(gp_data, m_width, m_height, 4 * m_width, mp_tex->data, mp_tex->width, mp_tex->height,
                 4 * mp_tex->width, ::progress_callback, this, 1.5f, amount, graphics::parallelThreads()))
        preparation_failed();
}

bool PP_Denoise::progress_callback(float fraction) {
    const int64_t percent = int64_t(double(fraction) * 100.0);
    if (percent != m_prev_precent) {
        m_prev_precent = percent;
        m_precent.store(percent, std::memory_order_relaxed);
        call_progress_callback();
    }
    return !foundation::Thread::current().isCancelled();
}
