#pragma once
// Comic-book look: flat posterised colour, dark outlines and a colour dot screen over it.
#include "engine/effects/PreparedTextureEffect.h"

#include <string>

class PP_ComixHalftone : public PreparedTextureEffect {
  public:
    std::string class_name() const override { return "PP_ComixHalftone"; }
    std::string get_name() override { return "Comix Halftone"; }
    std::string get_categorie() override { return "Art"; }
    PostProcessParameter* param_1() override; // "Colors"
    PostProcessParameter* param_2() override; // "Size"
    void prepare_for_process() override;
};
