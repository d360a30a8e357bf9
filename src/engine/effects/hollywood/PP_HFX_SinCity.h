#pragma once
// "B&W&Red Comics": bright, contrasty grey that keeps colour only where red clearly dominates.
#include "engine/PostProcess.h"

#include <string>

class PP_HFX_SinCity : public PostProcess {
  public:
    std::string class_name() const override { return "PP_HFX_SinCity"; }
    static constexpr LookSpec kLook{"B&W&Red Comics", "Hollywood FX",
                                    localizedSlider("Contrast", 1.0, 3.0, 1.7),
                                    localizedSlider("Saturation", 1.0, 3.0, 2.0)};
    const LookSpec* look_spec() const override { return &kLook; }
    bool pixels_are_independent() override { return true; }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

  private:
    // Read once per run rather than per pixel.
    float m_contrast = 0.0f;
    float m_saturation = 0.0f;
};
