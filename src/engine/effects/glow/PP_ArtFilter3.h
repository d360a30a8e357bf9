#pragma once
// "Neon Light": the photo's colours kept only along its edges, brightened; flat areas go black.
// The soft edge mask is made once per run, at full size in the run's output buffer; the working
// image is only read.
#include "engine/PostProcess.h"
#include "engine/effects/texture/OutputTexture.h"
#include "kernels/Texture.h"

#include <string>

class PP_ArtFilter3 : public PostProcess {
  public:
    ~PP_ArtFilter3() override;
    std::string class_name() const override { return "PP_ArtFilter3"; }
    static constexpr LookSpec kLook{"Neon Light", "Glow", literalSlider("Brightness", 1.0, 5.0, 3.4),
                                    literalSlider("Blur", 0.5, 1.0, 0.7)};
    const LookSpec* look_spec() const override { return &kLook; }
    bool pixels_are_independent() override { return true; }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;
    void process_ended() override;

  private:
    double m_scale = 3.4;        // "Brightness"
    double m_scale2 = 0.7;       // "Blur": the larger, the finer the mask
    texture_t* mp_tex = nullptr; // the soft edge mask, 255 on flat areas
    OutputTexture m_output;
};
