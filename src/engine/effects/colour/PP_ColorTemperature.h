#pragma once
// White-balance shifts toward a black-body colour, one per type, blended with the picture by
// "Amount". No gain is below 1, so black and white stay as they are.
#include "engine/PixelRows.h"

#include <string>

class PP_ColorTemperature : public PixelRows<PP_ColorTemperature> {
  public:
    std::string class_name() const override { return "PP_ColorTemperature"; }
    int32_t look_count() const override;
    const LookSpec* look_spec() const override;
    bool this_filter_is_simply_color_modify() override { return true; }
    bool pixels_are_independent() override { return true; }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

  private:
    double m_float_param1 = 0.0;
    pixel_t m_rgb_mult{1.0f, 1.0f, 1.0f};
};
