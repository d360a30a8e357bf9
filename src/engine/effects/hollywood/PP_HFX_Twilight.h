#pragma once
// "Twilight": half the colour, brightened, burnt toward a cold cyan, with a soft glow.
#include "engine/PixelRows.h"

#include <string>

class PP_HFX_Twilight : public PixelRows<PP_HFX_Twilight> {
  public:
    std::string class_name() const override { return "PP_HFX_Twilight"; }
    static constexpr LookSpec kLook{"Twilight", "Hollywood FX",
                                    localizedSlider("Brightness", 1.0, 2.0, 1.15)};
    const LookSpec* look_spec() const override { return &kLook; }
    bool pixels_are_independent() override { return true; }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

  private:
    double m_overbright = 0.0;
};
