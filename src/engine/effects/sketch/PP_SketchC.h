#pragma once
// "Pen Sketch": hatching from three stroke textures chosen by brightness, with an edge term and a
// tone, drawn in a blue ink curve. One pass, colour only.
#include "engine/PixelRows.h"
#include "engine/effects/sketch/Sketch.h"

class PP_SketchC : public PixelRows<PP_SketchC> {
  public:
    std::string class_name() const override { return "PP_SketchC"; }
    static constexpr LookSpec kLook{"Pen Sketch", "Sketch", localizedSlider("Contrast", 1.0, 8.0, 4.5),
                                    localizedSlider("Brightness", double(-0.3f), double(0.3f), 0.0)};
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
    double m_brightness = 0.0;
    float m_radius = 1.0f;
};
