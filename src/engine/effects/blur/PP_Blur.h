#pragma once
// Three blurs made once per run into a texture: type 0 "Blur" (gaussian, radius growing with the
// rendered width and "Amount"), 1 "Horizontal Blur" and 2 "Vertical Blur" (box blurs whose radius
// grows as "Amount" does, from a sixth of the short side down to a 120th). Any other type is black.
#include "engine/PostProcess.h"
#include "kernels/Texture.h"
#include "kernels/blur/GaussianKernelCache.h"

#include <cstddef>
#include <string>

class PP_Blur : public PostProcess {
  public:
    ~PP_Blur() override;
    std::string class_name() const override { return "PP_Blur"; }
    int32_t look_count() const override;
    const LookSpec* look_spec() const override;
    bool pixels_are_independent() override { return true; }
    // Type 0 builds its kernel table here, before the first run.
    void set_type(int32_t type) override;
    // Row r of this effect's own kernel table; r = 0 is the one-tap identity.
    const float* gaussianMatrixForRadius(size_t r) { return m_kernels.gaussianMatrixForRadius(r); }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;
    void process_ended() override;

  private:
    texture_t* mp_tex = nullptr; // the blurred photo; null where nothing was drawn
    GaussianKernelCache m_kernels;
};
