#pragma once
// "Color Comics": half the colour with edges inked in "Posterize" steps, then contrast.
#include "engine/PostProcess.h"

#include <string>

class PP_HFX_ColorComics : public PostProcess {
  public:
    std::string class_name() const override { return "PP_HFX_ColorComics"; }
    static constexpr LookSpec kLook{"Color Comics", "Hollywood FX",
                                    localizedSlider("Posterize", 3.0, 16.0, 12.0),
                                    localizedSlider("Contrast", 1.2, 3.0, 1.3)};
    const LookSpec* look_spec() const override { return &kLook; }
    bool pixels_are_independent() override { return true; }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

  private:
    int32_t m_posterize = 0;
    double m_contrast = 0.0;
};
