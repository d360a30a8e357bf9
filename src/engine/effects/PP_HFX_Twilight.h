#pragma once
// "Twilight": half the colour, brightened, burnt toward a cold cyan, with a soft glow.
#include "engine/PixelRows.h"

#include <string>

class PP_HFX_Twilight : public PixelRows<PP_HFX_Twilight> {
  public:
    std::string class_name() const override { return "PP_HFX_Twilight"; }
    std::string get_name() override { return "Twilight"; }
    std::string get_categorie() override { return "Hollywood FX"; }
    bool pixels_are_independent() override { return true; }
    PostProcessParameter* param_1() override;
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

  private:
    double m_overbright = 0.0;
};
