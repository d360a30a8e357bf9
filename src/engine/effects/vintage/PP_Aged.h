#pragma once
// "Aged": a warm monochrome whose brightness falls off towards the border, with a contrast
// slider. One pass, colour only.
#include "engine/PixelRows.h"

class PP_Aged : public PixelRows<PP_Aged> {
  public:
    std::string class_name() const override { return "PP_Aged"; }
    static constexpr LookSpec kLook{"Aged", "Vintage", literalSlider("Contrast", -0.75, 0.5, -0.0625)};
    const LookSpec* look_spec() const override { return &kLook; }
    bool this_filter_is_simply_color_modify() override { return true; }
    bool pixels_are_independent() override { return true; }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

  private:
    // Fixed for a run: the slider value and the vignette's geometry.
    double m_contrast = 0.0;
    float m_half_w = 0.0f;
    float m_half_h = 0.0f;
    float m_scale_x = 1.0f; // the longer side's offsets in units of the shorter side
    float m_scale_y = 1.0f;
    float m_falloff = 1.0f; // min(W, H) x 1.1 x 0.5
};
