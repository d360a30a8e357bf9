#pragma once
// The picture with its saturation lowered ("Saturation" below 1 moves toward grey).
#include "engine/PostProcess.h"

#include <string>

class PP_LessColors : public PostProcess {
  public:
    std::string class_name() const override { return "PP_LessColors"; }
    static constexpr LookSpec kLook{"Less Colors", "Image Correction",
                                    localizedSlider("Saturation", 0.0, 2.5, 0.5)};
    const LookSpec* look_spec() const override { return &kLook; }
    bool this_filter_is_simply_color_modify() override { return true; }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

  private:
    double m_saturation = 0.0;
};
