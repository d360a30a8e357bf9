#pragma once
// "Charcoal Sketch": a charcoal texture stretched once over the picture, lightened by the picture's
// brightness cut to eight levels. One pass, colour only.
#include "engine/PostProcess.h"
#include "engine/effects/sketch/Sketch.h"

class PP_SketchD : public PostProcess {
  public:
    std::string class_name() const override { return "PP_SketchD"; }
    static constexpr LookSpec kLook{"Charcoal Sketch", "Sketch", localizedSlider("Contrast", 1.0, 8.0, 4.5),
                                    localizedSlider("Brightness", double(-0.3f), double(0.3f), 0.0)};
    const LookSpec* look_spec() const override { return &kLook; }
    bool this_filter_is_simply_color_modify() override { return true; }
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
