#pragma once
// "Pencil Paint 2": dark edges on white, sampled "Edges" + 2 pixels apart.
#include "engine/PostProcess.h"

class PP_PencilPaint2 : public PostProcess {
  public:
    std::string class_name() const override { return "PP_PencilPaint2"; }
    static constexpr LookSpec kLook{"Pencil Paint 2", "Art", localizedSlider("Edges", 1.0, 3.0, 1.0)};
    const LookSpec* look_spec() const override { return &kLook; }
    bool pixels_are_independent() override { return true; }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

  private:
    double m_inner_edge = 0.0;
    double m_outer_edge = 0.0; // a second parameter's value; the look has none and reads 0
};
