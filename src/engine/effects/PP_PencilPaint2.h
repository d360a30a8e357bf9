#pragma once
// "Pencil Paint 2": dark edges on white, sampled "Edges" + 2 pixels apart.
#include "engine/PostProcess.h"

class PP_PencilPaint2 : public PostProcess {
  public:
    std::string class_name() const override { return "PP_PencilPaint2"; }
    std::string get_name() override { return "Pencil Paint 2"; }
    std::string get_categorie() override { return "Art"; }
    bool pixels_are_independent() override { return true; }
    PostProcessParameter* param_1() override; // "Edges"
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

  private:
    double m_inner_edge = 0.0;
    double m_outer_edge = 0.0; // a second parameter's value; the look has none and reads 0
};
