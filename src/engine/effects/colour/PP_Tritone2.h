#pragma once
// Three tones by brightness after contrast: dark red shadows, white mid-tones and dark blue highlights.
#include "engine/PostProcess.h"

#include <string>

class PP_Tritone2 : public PostProcess {
  public:
    std::string class_name() const override { return "PP_Tritone2"; }
    static constexpr LookSpec kLook{"Tritone 2", "Color Fantasy", localizedSlider("Contrast", 0.1, 3.0, 1.0)};
    const LookSpec* look_spec() const override { return &kLook; }
    bool this_filter_is_simply_color_modify() override { return true; }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

  private:
    pixel_t m_shadow_color{0.0f, 0.0f, 0.0f};
    pixel_t m_mid_color{0.0f, 0.0f, 0.0f};
    pixel_t m_hi_color{0.0f, 0.0f, 0.0f};
    double m_contrast = 1.0;
};
