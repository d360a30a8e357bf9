#pragma once
// "B&W Grained": a contrasty monochrome brightened by random grain. One pass, colour only; the
// grain differs from run to run.
// The grain is drawn in visiting order, so a run stays on one thread. One grain is a square of the
// preview's step: the preview draws one for each of its pixels, and the saved picture, seen at the
// preview's size, keeps grain as coarse as the preview showed instead of averaging it away.
#include "engine/PostProcess.h"

#include <vector>

class PP_BWGrained : public PostProcess {
  public:
    std::string class_name() const override { return "PP_BWGrained"; }
    static constexpr LookSpec kLook{"B&W Grained", "Black&White",
                                    localizedSlider("Grain", 0.0, 1.0, double(0.28f)),
                                    localizedSlider("Contrast", 0.0, 1.0, double(0.55f))};
    const LookSpec* look_spec() const override { return &kLook; }
    bool this_filter_is_simply_color_modify() override { return true; }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

  private:
    float m_grain = 0.0f;    // "Grain", copied when a run starts
    float m_contrast = 0.0f; // "Contrast", copied when a run starts
    int32_t m_cell = 1;      // side of one grain in working-image pixels
    // Per column of grains: the row of grains its value was drawn for, and the value.
    std::vector<int32_t> m_drawn_row;
    std::vector<int16_t> m_drawn;
};
