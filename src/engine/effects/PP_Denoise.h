#pragma once
// Non-local-means noise reduction, reporting its progress to the run and stopping when the run
// is cancelled.
#include "engine/effects/PreparedTextureEffect.h"

#include <string>

class PP_Denoise : public PreparedTextureEffect {
  public:
    std::string class_name() const override { return "PP_Denoise"; }
    std::string get_name() override { return "Denoise"; }
    std::string get_categorie() override { return "Denoise"; }
    PostProcessParameter* param_1() override; // "Amount"
    void prepare_for_process() override;
    // Progress of the denoiser, 0..1, on the run's thread. Answers whether to go on.
    virtual bool progress_callback(float fraction);
};
