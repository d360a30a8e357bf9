#pragma once
// "Color Pencil Sketch": coloured pencil hatching from three stroke textures chosen by brightness
// and laid transposed, the colour recoloured through a gradient picture, times an edge term. One
// pass, colour only.
#include "engine/PostProcess.h"
#include "engine/effects/sketch/Sketch.h"

#include <cstdint>
#include <memory>

class ImageEditable;

class PP_SketchB : public PostProcess {
  public:
    PP_SketchB();
    ~PP_SketchB() override;
    std::string class_name() const override { return "PP_SketchB"; }
    static constexpr LookSpec kLook{"Color Pencil Sketch", "Sketch", localizedSlider("Edges", 1.0, 10.0, 1.0),
                                    localizedSlider("Contrast", 1.0, 5.0, 2.0)};
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
    std::unique_ptr<ImageEditable> m_gradient;
    // Fixed for a run: the first byte of the gradient's first 256 pixels (n itself when the
    // gradient has fewer), the inverted contrast and the blur radius.
    uint8_t m_gradient_lut[256] = {};
    float m_contrast = 0.0f;
    float m_radius = 1.0f;
};
