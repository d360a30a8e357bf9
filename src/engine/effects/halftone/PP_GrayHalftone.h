#pragma once
// Colour dot screen laid over the photo's grey values with an overlay blend.
#include "engine/effects/texture/PreparedTextureEffect.h"

#include <string>

class PP_GrayHalftone : public PreparedTextureEffect {
  public:
    std::string class_name() const override { return "PP_GrayHalftone"; }
    static constexpr LookSpec kLook{"Gray Halftone", "Art", localizedSlider("Size", 0.0, 0.3, double(0.1f))};
    const LookSpec* look_spec() const override { return &kLook; }
    void prepare_for_process() override;
};
