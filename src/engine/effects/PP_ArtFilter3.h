#pragma once
// "Neon Light": the photo's colours kept only along its edges, brightened; flat areas go black.
// The soft edge mask is made once per run into a texture of its own; the working image is only read.
#include "engine/PostProcess.h"
#include "kernels/Texture.h"

#include <string>

class PP_ArtFilter3 : public PostProcess {
  public:
    ~PP_ArtFilter3() override;
    std::string class_name() const override { return "PP_ArtFilter3"; }
    std::string get_name() override { return "Neon Light"; }
    std::string get_categorie() override { return "Glow"; }
    bool pixels_are_independent() override { return true; }
    PostProcessParameter* param_1() override;
    PostProcessParameter* param_2() override;
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;
    void process_ended() override;

  private:
    double m_scale = 3.4;        // "Brightness"
    double m_scale2 = 0.7;       // "Blur": the larger, the finer the mask
    texture_t* mp_tex = nullptr; // the soft edge mask, 255 on flat areas
};
