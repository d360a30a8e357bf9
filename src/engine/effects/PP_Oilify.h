#pragma once
// Oil paint: every pixel takes the dominant brightness classes of a small disc around it.
#include "engine/effects/PreparedTextureEffect.h"

#include <string>

class PP_Oilify : public PreparedTextureEffect {
  public:
    std::string class_name() const override { return "PP_Oilify"; }
    std::string get_name() override { return "Oilify"; }
    std::string get_categorie() override { return "_research"; }
    PostProcessParameter* param_1() override; // "Size"
    void prepare_for_process() override;
};
