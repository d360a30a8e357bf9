#pragma once
// Gamma: every channel raised to 1 / "Gamma", capped at 1. The slider is read for every pixel.
#include "engine/PostProcess.h"

#include <string>

class PP_Gamma : public PostProcess {
  public:
    std::string class_name() const override { return "PP_Gamma"; }
    static constexpr LookSpec kLook{"Gamma", "Trash", localizedSlider("Gamma", 0.1, 1.9, 1.0)};
    const LookSpec* look_spec() const override { return &kLook; }
    bool this_filter_is_simply_color_modify() override { return true; }
    bool pixels_are_independent() override { return true; }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;
};
