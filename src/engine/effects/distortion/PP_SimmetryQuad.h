#pragma once
// "Symmetry Quad": the top-left quarter mirrored into the other three. The middle column stays
// itself while the middle row is mirrored onto itself, which comes to the same.
#include "engine/PostProcess.h"

class PP_SimmetryQuad : public PostProcess {
  public:
    std::string class_name() const override { return "PP_SimmetryQuad"; }
    static constexpr LookSpec kLook{"Symmetry Quad", "Symmetry"};
    const LookSpec* look_spec() const override { return &kLook; }
    bool pixels_are_independent() override { return true; }
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;
};
