#pragma once
// Red/cyan offset: red is taken from "Amount" x 20 pixels to the right, green and blue stay.
#include "engine/PostProcess.h"

#include <string>

class PP_3DEffect : public PostProcess {
  public:
    std::string class_name() const override { return "PP_3DEffect"; }
    std::string get_name() override { return "3D Effect"; }
    std::string get_categorie() override { return "SFX"; }
    bool this_filter_is_simply_color_modify() override { return true; }
    bool pixels_are_independent() override { return true; }
    void prepare_for_process() override;
    PostProcessParameter* param_1() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

  private:
    float m_amount = 10.0f; // pixels
};
