#pragma once
// Oil paint: every pixel takes the dominant brightness classes of a small disc around it.
#include "engine/effects/texture/PreparedTextureEffect.h"

#include <string>

class PP_Oilify : public PreparedTextureEffect {
  public:
    std::string class_name() const override { return "PP_Oilify"; }
    static constexpr LookSpec kLook{"Oilify", "_research", localizedSlider("Size", 0.0, 1.0, double(0.2f))};
    const LookSpec* look_spec() const override { return &kLook; }
    void prepare_for_process() override;
};
