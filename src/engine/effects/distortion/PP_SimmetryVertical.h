#pragma once
// "Symmetry Vertical": the right half shows the left half mirrored about the middle column.
#include "engine/PostProcess.h"

class PP_SimmetryVertical : public PostProcess {
  public:
    std::string class_name() const override { return "PP_SimmetryVertical"; }
    static constexpr LookSpec kLook{"Symmetry Vertical", "Symmetry"};
    const LookSpec* look_spec() const override { return &kLook; }
    bool pixels_are_independent() override { return true; }
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;
};
