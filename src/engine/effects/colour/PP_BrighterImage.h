#pragma once
// "Brightness": every channel times "Brightness".
#include "engine/PostProcess.h"

#include <string>

class PP_BrighterImage : public PostProcess {
  public:
    std::string class_name() const override { return "PP_BrighterImage"; }
    static constexpr LookSpec kLook{"Brightness", "Trash", localizedSlider("Brightness", 0.1, 3.0, 1.4)};
    const LookSpec* look_spec() const override { return &kLook; }
    bool this_filter_is_simply_color_modify() override { return true; }
    bool pixels_are_independent() override { return true; }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

  private:
    double m_brightness = 1.4;
};
