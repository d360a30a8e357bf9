#pragma once
// Sepia toning: the luminance of each pixel given the hue and saturation of a sepia brown in
// integer HSV, blended with the picture by "Amount".
#include "engine/PostProcess.h"

#include <string>

class PP_Sepia : public PostProcess {
  public:
    std::string class_name() const override { return "PP_Sepia"; }
    static constexpr LookSpec kLook{"Sepia", "Vintage", localizedSlider("Amount", 0.0, 1.1, 1.0)};
    const LookSpec* look_spec() const override { return &kLook; }
    bool this_filter_is_simply_color_modify() override { return true; }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

  private:
    int32_t sepiaH = 0;
    int32_t sepiaS = 0;
    float m_amount = 1.0f;
};
