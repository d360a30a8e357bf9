#pragma once
// "Burnt Colors": strong contrast and over-saturation, both growing with "Amount", then every
// channel lifted by "Brightness".
#include "engine/PostProcess.h"

#include <string>

class PP_BurntColors : public PostProcess {
  public:
    std::string class_name() const override { return "PP_BurntColors"; }
    static constexpr LookSpec kLook{"Burnt Colors", "Color Fantasy", localizedSlider("Amount", 0.3, 1.5, 1.0),
                                    localizedSlider("Brightness", 0.0, 0.5, 0.0)};
    const LookSpec* look_spec() const override { return &kLook; }
    bool this_filter_is_simply_color_modify() override { return true; }
    bool pixels_are_independent() override { return true; }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

  private:
    double m_scale = 1.0;
    double m_brightnes = 0.0;
    float m_contrast = 3.0f;   // m_scale x 3
    float m_saturation = 4.0f; // m_scale x 4
};
