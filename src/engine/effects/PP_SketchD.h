#pragma once
// "Charcoal Sketch": a charcoal texture stretched once over the picture, lightened by the picture's
// brightness cut to eight levels. One pass, colour only.
#include "engine/PostProcess.h"
#include "engine/effects/Sketch.h"

class PP_SketchD : public PostProcess {
  public:
    std::string class_name() const override { return "PP_SketchD"; }
    std::string get_name() override { return "Charcoal Sketch"; }
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
