#pragma once
// The picture with its contrast around mid grey scaled by "Contrast".
#include "engine/PostProcess.h"

#include <string>

class PP_MoreContrast : public PostProcess {
  public:
    std::string class_name() const override { return "PP_MoreContrast"; }
    static constexpr LookSpec kLook{"Contrast", "Trash", localizedSlider("Contrast", 0.4, 2.0, 1.5)};
    const LookSpec* look_spec() const override { return &kLook; }
    bool this_filter_is_simply_color_modify() override { return true; }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

  private:
    double m_contrast = 0.0;
};
