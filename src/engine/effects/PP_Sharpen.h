#pragma once
// Unsharp mask: the photo pushed away from its gaussian blur by "Amount".
#include "engine/PostProcess.h"
#include "kernels/GaussianKernelCache.h"
#include "kernels/Texture.h"

#include <string>

class PP_Sharpen : public PostProcess {
  public:
    ~PP_Sharpen() override;
    std::string class_name() const override { return "PP_Sharpen"; }
    std::string get_name() override { return "Sharpen"; }
    std::string get_categorie() override { return "Sharpen"; }
    bool this_filter_is_simply_color_modify() override { return true; }
    bool pixels_are_independent() override { return true; }
    PostProcessParameter* param_1() override;
    PostProcessParameter* param_2() override;
    const float* gaussianMatrixForRadius(size_t r) { return m_kernels.gaussianMatrixForRadius(r); }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;
    void process_ended() override;

  private:
    texture_t* mp_tex = nullptr; // the blurred photo
    GaussianKernelCache m_kernels;
    float m_amount = 1.0f;
};
