#pragma once
// "Pencil Paint": the picture tinted to paper, washed toward white by 1 - "Amount", and drawn
// over with its edges at the "Edges" distance.
#include "engine/PostProcess.h"

class PP_PencilPaint : public PostProcess {
  public:
    std::string class_name() const override { return "PP_PencilPaint"; }
    static constexpr LookSpec kLook{"Pencil Paint", "Art", localizedSlider("Edges", 1.0, 7.0, 3.0),
                                    localizedSlider("Amount", 0.3, 1.0, 0.6)};
    const LookSpec* look_spec() const override { return &kLook; }
    bool pixels_are_independent() override { return true; }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

  private:
    double m_inner_edge = 0.0; // edge sampling distance
    double m_outer_edge = 0.0; // wash toward white
};
