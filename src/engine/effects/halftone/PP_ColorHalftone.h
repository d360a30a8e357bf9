#pragma once
// Colour dot screen laid over the photo with an overlay blend.
#include "engine/effects/texture/PreparedTextureEffect.h"

#include <string>

class PP_ColorHalftone : public PreparedTextureEffect {
  public:
    std::string class_name() const override { return "PP_ColorHalftone"; }
    static constexpr LookSpec kLook{"Color Halftone", "Art", literalSlider("Size", 0.0, 0.3, double(0.1f))};
    const LookSpec* look_spec() const override { return &kLook; }
    void prepare_for_process() override;
};
