#pragma once
// Focus blurs with a variable box radius, sharp in a zone and blurrier with distance from it:
// type 0 "Radial Blur" around the effect centre, type 1 "Tilt-Shift" about the centre's row,
// types 2 and 3 "Upper Tilt-Shift" from the top and from the bottom row. "Amount" sets the
// largest radius (a quarter of the shorter side at its top), "Range" the half-width of the sharp
// zone as a share of the longer side. Any other type ("AAAProblem!") leaves the picture as it is.
#include "engine/PostProcess.h"
#include "kernels/Texture.h"

class PP_RadialBlur : public PostProcess {
  public:
    ~PP_RadialBlur() override;
    std::string class_name() const override { return "PP_RadialBlur"; }
    int32_t look_count() const override;
    const LookSpec* look_spec() const override;
    bool isCenterSupported() override { return m_type == 0 || m_type == 1; }
    bool pixels_are_independent() override { return true; }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;
    void process_ended() override;

  private:
    // The blurred full picture, held from preparation to the end of the run.
    texture_t* mp_tex = nullptr;
};
