#pragma once
// "Black and White": contrast on each channel, then their mean brightened by "Brightness".
#include "engine/PostProcess.h"

#include <string>

class PP_BW : public PostProcess {
  public:
    std::string class_name() const override { return "PP_BW"; }
    static constexpr LookSpec kLook{"Black and White", "Black&White",
                                    localizedSlider("Contrast", 0.5, 5.0, 4.0),
                                    localizedSlider("Brightness", 1.0, 5.0, 3.0)};
    const LookSpec* look_spec() const override { return &kLook; }
    bool this_filter_is_simply_color_modify() override { return true; }
    bool pixels_are_independent() override { return true; }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

  private:
    double m_contrast = 4.0;
    double m_overbright = 3.0;
    float m_k = 4.0f; // m_contrast in single precision
};
