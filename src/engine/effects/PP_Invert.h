#pragma once
// The negative, with "Contrast" applied before inverting.
#include "engine/PostProcess.h"

#include <string>

class PP_Invert : public PostProcess {
  public:
    std::string class_name() const override { return "PP_Invert"; }
    std::string get_name() override { return "Invert Image"; }
    std::string get_categorie() override { return "Color Fantasy"; }
    bool this_filter_is_simply_color_modify() override { return true; }
    PostProcessParameter* param_1() override;
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

  private:
    float m_contrast = 1.0f;
};
