#pragma once
// "Color Charcoal Sketch": the charcoal of "Charcoal Sketch" soft-lit with the picture's own colours.
// One pass, colour only.
#include "engine/PixelRows.h"
#include "engine/effects/Sketch.h"

class PP_SketchE : public PixelRows<PP_SketchE> {
  public:
    std::string class_name() const override { return "PP_SketchE"; }
    std::string get_name() override { return "Color Charcoal Sketch"; }
    std::string get_categorie() override { return "Sketch"; }
    bool this_filter_is_simply_color_modify() override { return true; }
    PostProcessParameter* param_1() override; // "Contrast"
    PostProcessParameter* param_2() override; // "Brightness"
    void prepare_for_process() override;
    void process_ended() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;
    bool pixels_are_independent() override { return true; }

  private:
    sketch::Texture m_tex;
    // Fixed for a run.
    double m_contrast = 0.0;
    double m_brightness = 0.0;
};
