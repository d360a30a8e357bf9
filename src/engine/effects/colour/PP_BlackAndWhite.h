#pragma once
// "Grayscale": a weighted grey (red 0.33, green 0.59, blue 0.11, so white comes out at 1.03) with
// contrast around mid grey.
#include "engine/PostProcess.h"

#include <string>

class PP_BlackAndWhite : public PostProcess {
  public:
    std::string class_name() const override { return "PP_BlackAndWhite"; }
    static constexpr LookSpec kLook{"Grayscale", "Black&White", literalSlider("Contrast", 0.4, 2.0, 1.0)};
    const LookSpec* look_spec() const override { return &kLook; }
    bool this_filter_is_simply_color_modify() override { return true; }
    bool pixels_are_independent() override { return true; }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

  private:
    double m_contrast = 1.0;
    float m_k = 1.0f; // m_contrast in single precision
};
