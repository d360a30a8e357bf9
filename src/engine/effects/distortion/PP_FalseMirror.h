#pragma once
// Wave and ripple distortions ("False Mirror 1" .. "4", "Rippled Glass 1", "2", "Dotted"): each
// pixel reads the photo bilinearly at a position moved by sine and cosine waves of amplitude A and
// period F, both scaled with the image width. Wave positions that leave the image are mirrored
// back into it, however far out they land. "Fish Eye" and unknown types return the photo.
#include "engine/PostProcess.h"

#include <string>

class PP_FalseMirror : public PostProcess {
  public:
    std::string class_name() const override { return "PP_FalseMirror"; }
    int32_t look_count() const override;
    const LookSpec* look_spec() const override;
    bool pixels_are_independent() override { return true; }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

    // v mirrored at the image edges until it lies in 0 .. size - 1: -v below 0, 2 size - v - 1
    // from size on. Non-finite values give 0.
    static double fold(double v, int32_t size);
    // Bilinear sample of the working image at (sx, sy), both in 0 .. size - 1; the last column and
    // row use the cell to their left and above.
    static pixel_t bilinear(double sx, double sy);

  private:
    double m_float_param1 = 0.0; // amplitude A
    double m_float_param2 = 0.0; // period F
};
