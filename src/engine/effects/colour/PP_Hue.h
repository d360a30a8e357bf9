#pragma once
// Fixed hue shifts in HSL, one per type ("Hue Blue" .. "Hue Red"), mixed with the photo by
// "Amount" (above 1 pushes past the shifted colour). Results are returned unclamped.
#include "engine/PostProcess.h"

#include <string>

class PP_Hue : public PostProcess {
  public:
    std::string class_name() const override { return "PP_Hue"; }
    int32_t look_count() const override;
    const LookSpec* look_spec() const override;
    bool this_filter_is_simply_color_modify() override { return true; }
    bool pixels_are_independent() override { return true; }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

  private:
    double m_amount = 1.0;
};
