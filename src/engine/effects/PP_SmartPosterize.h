#pragma once
// Flat areas of colour that follow the photo's shapes, with soft dark outlines.
#include "engine/effects/PreparedTextureEffect.h"

#include <string>

class PP_SmartPosterize : public PreparedTextureEffect {
  public:
    std::string class_name() const override { return "PP_SmartPosterize"; }
    std::string get_name() override { return "Smart Posterize"; }
    std::string get_categorie() override { return "Hidden"; }
    PostProcessParameter* param_1() override; // "Colors"
    PostProcessParameter* param_2() override; // "Softness"
    void prepare_for_process() override;
};
