#pragma once
// Flat areas of colour that follow the photo's shapes, with soft dark outlines.
#include "engine/effects/texture/PreparedTextureEffect.h"

#include <string>

class PP_SmartPosterize : public PreparedTextureEffect {
  public:
    std::string class_name() const override { return "PP_SmartPosterize"; }
    static constexpr LookSpec kLook{"Smart Posterize", "Hidden", localizedSlider("Colors", 0.0, 1.0, 0.5),
                                    localizedSlider("Softness", 0.0, 1.0, 0.5)};
    const LookSpec* look_spec() const override { return &kLook; }
    void prepare_for_process() override;
};
