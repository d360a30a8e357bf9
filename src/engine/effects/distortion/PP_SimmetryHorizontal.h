#pragma once
// "Symmetry Horizontal": the lower half shows the upper half mirrored about the middle row.
#include "engine/PostProcess.h"

class PP_SimmetryHorizontal : public PostProcess {
  public:
    std::string class_name() const override { return "PP_SimmetryHorizontal"; }
    static constexpr LookSpec kLook{"Symmetry Horizontal", "Symmetry"};
    const LookSpec* look_spec() const override { return &kLook; }
    bool pixels_are_independent() override { return true; }
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;
};
