#pragma once
// "Pencil Sketch": grey pencil hatching from three stroke textures chosen by brightness, with an
// edge term. One pass, colour only.
#include "engine/PostProcess.h"
#include "engine/effects/sketch/Sketch.h"

class PP_SketchA : public PostProcess {
  public:
    std::string class_name() const override { return "PP_SketchA"; }
    static constexpr LookSpec kLook{"Pencil Sketch", "Sketch", localizedSlider("Edges", 1.0, 20.0, 5.0),
                                    localizedSlider("Contrast", 1.0, 3.0, 2.0)};
    const LookSpec* look_spec() const override { return &kLook; }
    bool this_filter_is_simply_color_modify() override { return true; }
    void prepare_for_process() override;
    void process_ended() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;
    bool pixels_are_independent() override { return true; }

  private:
    sketch::Texture m_scrapes1;
    sketch::Texture m_scrapes2;
    sketch::Texture m_scrapes3;
    // Fixed for a run.
    double m_contrast = 0.0;
    float m_radius = 1.0f;
};
