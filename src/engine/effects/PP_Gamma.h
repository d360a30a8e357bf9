#pragma once
// Gamma: every channel raised to 1 / "Gamma", capped at 1. The slider is read for every pixel.
#include "engine/PostProcess.h"

#include <string>

class PP_Gamma : public PostProcess {
  public:
    std::string class_name() const override { return "PP_Gamma"; }
    std::string get_name() override { return "Gamma"; }
    std::string get_categorie() override { return "Trash"; }
    bool this_filter_is_simply_color_modify() override { return true; }
    bool pixels_are_independent() override { return true; }
    PostProcessParameter* param_1() override;
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;
};
