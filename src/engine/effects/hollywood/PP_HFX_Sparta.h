#pragma once
// "Sparta": contrast and brightness raised, colour mostly drained, then a bronze overlay.
#include "engine/PixelRows.h"
#include "engine/PostProcess.h"

#include <string>

class PP_HFX_Sparta : public PixelRows<PP_HFX_Sparta> {
  public:
    std::string class_name() const override { return "PP_HFX_Sparta"; }
    static constexpr LookSpec kLook{"Sparta", "Hollywood FX", localizedSlider("Contrast", 1.2, 2.0, 1.35),
                                    localizedSlider("Brightness", 1.0, 2.0, 1.2)};
    const LookSpec* look_spec() const override { return &kLook; }
    bool pixels_are_independent() override { return true; }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

  private:
    double m_contrast = 0.0;
    double m_overbright = 0.0;
};
