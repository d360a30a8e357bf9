#pragma once
// Photo styles from contrast, gain and saturation steps, a triple self-overlay, a randomised
// edge drawing and four colour casts, one per type. Every type but the edge drawing reads only
// the pixel it writes.
#include "engine/PixelRows.h"
#include "engine/PostProcess.h"

#include <string>

class PP_ColorModify : public PixelRows<PP_ColorModify> {
  public:
    std::string class_name() const override { return "PP_ColorModify"; }
    int32_t look_count() const override;
    const LookSpec* look_spec() const override;
    bool this_filter_is_simply_color_modify() override { return m_type != 1; }
    // The edge drawing draws random numbers per pixel.
    bool pixels_are_independent() override { return m_type != 1; }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

  private:
    double m_float_param1 = 0.0;
    double m_float_param2 = 0.0;
    // Per-channel offsets w x k1 of the colour-cast types, set at the start of a run.
    double m_cast[3] = {0.0, 0.0, 0.0};
};
