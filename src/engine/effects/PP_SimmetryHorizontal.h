#pragma once
// "Symmetry Horizontal": the lower half shows the upper half mirrored about the middle row.
#include "engine/PostProcess.h"

class PP_SimmetryHorizontal : public PostProcess {
  public:
    std::string class_name() const override { return "PP_SimmetryHorizontal"; }
    std::string get_name() override { return "Symmetry Horizontal"; }
    std::string get_categorie() override { return "Symmetry"; }
    bool pixels_are_independent() override { return true; }
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;
};
