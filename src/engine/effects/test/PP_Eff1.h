#pragma once
// "Test1": a test look that returns the photo unchanged. Its preparation finds the integer hue and
// saturation of a sepia brown, which nothing reads.
#include "engine/PostProcess.h"

#include <cstdint>
#include <string>

class PP_Eff1 : public PostProcess {
  public:
    std::string class_name() const override { return "PP_Eff1"; }
    static constexpr LookSpec kLook{"Test1", "Test", localizedSlider("Amount", 0.0, 1.0, 1.0)};
    const LookSpec* look_spec() const override { return &kLook; }
    bool this_filter_is_simply_color_modify() override { return true; }
    bool pixels_are_independent() override { return true; }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

  private:
    int32_t sepiaH = 0;
    int32_t sepiaS = 0;
};
