#pragma once
// Red/cyan offset: red is taken from "Amount" x 20 pixels to the right, green and blue stay.
#include "engine/PostProcess.h"

#include <string>

class PP_3DEffect : public PostProcess {
  public:
    std::string class_name() const override { return "PP_3DEffect"; }
    static constexpr LookSpec kLook{"3D Effect", "SFX", literalSlider("Amount", 0.0, 1.0, 0.5)};
    const LookSpec* look_spec() const override { return &kLook; }
    bool this_filter_is_simply_color_modify() override { return true; }
    bool pixels_are_independent() override { return true; }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

  private:
    float m_amount = 10.0f; // pixels
};
