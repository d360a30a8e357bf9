#pragma once
// "Noise": every pixel taken from a random neighbour within a radius set by "Amount" and given a
// random brightness within 1 +- "Gamma". Draws three random numbers per pixel, so it runs on one
// thread.
#include "engine/PostProcess.h"

#include <cstdint>
#include <string>

class PP_ArtNoise : public PostProcess {
  public:
    std::string class_name() const override { return "PP_ArtNoise"; }
    static constexpr LookSpec kLook{"Noise", "SFX", literalSlider("Amount", 1.0, 40.0, 4.8),
                                    literalSlider("Gamma", 0.0, 0.6, 0.2)};
    const LookSpec* look_spec() const override { return &kLook; }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

  private:
    int32_t m_noise_radius = 4;
    double m_gamma_range = 0.2;
    int64_t m_radius = 0; // scatter radius in pixels, never negative
    float m_low = 1.0f;   // brightness factor bounds
    float m_high = 1.0f;
};
