#pragma once
// An X-ray look: the inverted grey tinted pale blue, brightened by "Brightness" and contrasted by
// "Contrast".
#include "engine/PostProcess.h"

#include <string>

class PP_XRay : public PostProcess {
  public:
    std::string class_name() const override { return "PP_XRay"; }
    static constexpr LookSpec kLook{"X-ray", "SFX", localizedSlider("Contrast", 0.5, 5.0, 4.0),
                                    localizedSlider("Brightness", 0.3, 2.0, 1.0)};
    const LookSpec* look_spec() const override { return &kLook; }
    bool this_filter_is_simply_color_modify() override { return true; }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

  private:
    double m_contrast = 0.0;
    double m_overbright = 0.0;
};
