#pragma once
// "Sparta": contrast and brightness raised, colour mostly drained, then a bronze overlay.
#include "engine/PixelRows.h"
#include "engine/PostProcess.h"

#include <string>

class PP_HFX_Sparta : public PixelRows<PP_HFX_Sparta> {
  public:
    std::string class_name() const override { return "PP_HFX_Sparta"; }
    std::string get_name() override { return "Sparta"; }
    std::string get_categorie() override { return "Hollywood FX"; }
    bool pixels_are_independent() override { return true; }
    PostProcessParameter* param_1() override;
    PostProcessParameter* param_2() override;
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

  private:
    double m_contrast = 0.0;
    double m_overbright = 0.0;
};
