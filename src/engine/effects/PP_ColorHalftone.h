#pragma once
// Colour dot screen laid over the photo with an overlay blend.
#include "engine/effects/PreparedTextureEffect.h"

#include <string>

class PP_ColorHalftone : public PreparedTextureEffect {
  public:
    std::string class_name() const override { return "PP_ColorHalftone"; }
    std::string get_name() override { return "Color Halftone"; }
    std::string get_categorie() override { return "Art"; }
    PostProcessParameter* param_1() override; // "Size"
    void prepare_for_process() override;
};
