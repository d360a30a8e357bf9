#pragma once
// "Old Sketch": the grey pencil of "Pencil Sketch" drawn on an old paper that lies once across the
// picture, turned a quarter. One pass, colour only.
#include "engine/PixelRows.h"
#include "engine/effects/sketch/Sketch.h"

class PP_SketchF : public PixelRows<PP_SketchF> {
  public:
    std::string class_name() const override { return "PP_SketchF"; }
    static constexpr LookSpec kLook{"Old Sketch", "Sketch", localizedSlider("Edges", 1.0, 20.0, 5.75),
                                    localizedSlider("Contrast", 1.0, 3.0, 2.2)};
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
    sketch::Texture m_tex; // the paper
    // Fixed for a run.
    double m_contrast = 0.0;
    float m_radius = 1.0f;
};
