#pragma once
// "Alien Skin": hue turned half way round the circle, saturation raised, contrast, soft glow.
#include "engine/PixelRows.h"

#include <string>

class PP_HFX_Avatar : public PixelRows<PP_HFX_Avatar> {
  public:
    std::string class_name() const override { return "PP_HFX_Avatar"; }
    static constexpr LookSpec kLook{"Alien Skin", "Hollywood FX",
                                    localizedSlider("Contrast", 1.1, 2.0, 1.35)};
    const LookSpec* look_spec() const override { return &kLook; }
    bool pixels_are_independent() override { return true; }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

  private:
    double m_contrast = 0.0;
};
