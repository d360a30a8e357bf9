#pragma once
// An X-ray look: the inverted grey tinted pale blue, brightened by "Brightness" and contrasted by
// "Contrast".
#include "engine/PostProcess.h"

#include <string>

class PP_XRay : public PostProcess {
  public:
    std::string class_name() const override { return "PP_XRay"; }
    std::string get_name() override { return "X-ray"; }
    std::string get_categorie() override { return "SFX"; }
    bool this_filter_is_simply_color_modify() override { return true; }
    PostProcessParameter* param_1() override;
    PostProcessParameter* param_2() override;
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

  private:
    double m_contrast = 0.0;
    double m_overbright = 0.0;
};
