#pragma once
// Unsharp mask: the photo pushed away from its gaussian blur by "Amount".
#include "engine/PostProcess.h"
#include "kernels/Texture.h"
#include "kernels/blur/GaussianKernelCache.h"

#include <string>

class PP_Sharpen : public PostProcess {
  public:
    ~PP_Sharpen() override;
    std::string class_name() const override { return "PP_Sharpen"; }
    static constexpr LookSpec kLook{"Sharpen", "Sharpen", localizedSlider("Radius", 1.0, 5.0, 1.0),
                                    localizedSlider("Amount", 0.0, 15.0, 1.0)};
    const LookSpec* look_spec() const override { return &kLook; }
    bool this_filter_is_simply_color_modify() override { return true; }
    bool pixels_are_independent() override { return true; }
    const float* gaussianMatrixForRadius(size_t r) { return m_kernels.gaussianMatrixForRadius(r); }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;
    void process_ended() override;

  private:
    texture_t* mp_tex = nullptr; // the blurred photo
    GaussianKernelCache m_kernels;
    float m_amount = 1.0f;
};
