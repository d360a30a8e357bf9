#pragma once
// The picture with its saturation raised by "Saturation".
#include "engine/PostProcess.h"

#include <string>

class PP_MoreColors : public PostProcess {
  public:
    std::string class_name() const override { return "PP_MoreColors"; }
    static constexpr LookSpec kLook{"Saturation", "Trash", localizedSlider("Saturation", 0.0, 3.0, 2.2)};
    const LookSpec* look_spec() const override { return &kLook; }
    bool this_filter_is_simply_color_modify() override { return true; }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

  private:
    double m_saturation = 0.0;
};
