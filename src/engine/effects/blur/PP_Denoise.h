#pragma once
// Non-local-means noise reduction, reporting its progress to the run and stopping when the run
// is cancelled.
#include "engine/effects/texture/PreparedTextureEffect.h"

#include <string>

class PP_Denoise : public PreparedTextureEffect {
  public:
    std::string class_name() const override { return "PP_Denoise"; }
    static constexpr LookSpec kLook{"Denoise", "Denoise", localizedSlider("Amount", 0.0, 10.0, 1.0)};
    const LookSpec* look_spec() const override { return &kLook; }
    void prepare_for_process() override;
    // Progress of the denoiser, 0..1, on the run's thread. Answers whether to go on.
    virtual bool progress_callback(float fraction);
};
