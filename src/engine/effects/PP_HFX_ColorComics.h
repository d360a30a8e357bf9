#pragma once
// "Color Comics": half the colour with edges inked in "Posterize" steps, then contrast.
#include "engine/PostProcess.h"

#include <string>

class PP_HFX_ColorComics : public PostProcess {
  public:
    std::string class_name() const override { return "PP_HFX_ColorComics"; }
    std::string get_name() override { return "Color Comics"; }
    std::string get_categorie() override { return "Hollywood FX"; }
    bool pixels_are_independent() override { return true; }
    PostProcessParameter* param_1() override;
    PostProcessParameter* param_2() override;
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

  private:
    int32_t m_posterize = 0;
    double m_contrast = 0.0;
};
