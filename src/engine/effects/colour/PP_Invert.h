#pragma once
// The negative, with "Contrast" applied before inverting.
#include "engine/PostProcess.h"

#include <string>

class PP_Invert : public PostProcess {
  public:
    std::string class_name() const override { return "PP_Invert"; }
    static constexpr LookSpec kLook{"Invert Image", "Color Fantasy",
                                    localizedSlider("Contrast", 0.5, 2.0, 1.0)};
    const LookSpec* look_spec() const override { return &kLook; }
    bool this_filter_is_simply_color_modify() override { return true; }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

  private:
    float m_contrast = 1.0f;
};
