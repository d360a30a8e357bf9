#pragma once
// Colour dot screen laid over the photo's grey values with an overlay blend.
#include "engine/effects/PreparedTextureEffect.h"

#include <string>

class PP_GrayHalftone : public PreparedTextureEffect {
  public:
    std::string class_name() const override { return "PP_GrayHalftone"; }
    std::string get_name() override { return "Gray Halftone"; }
    std::string get_categorie() override { return "Art"; }
    PostProcessParameter* param_1() override; // "Size"
    void prepare_for_process() override;
};
