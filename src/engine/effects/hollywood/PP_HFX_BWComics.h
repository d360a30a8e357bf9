#pragma once
// "B&W Comics": grey with edges inked in twelve steps, then contrast.
#include "engine/PostProcess.h"

#include <string>

class PP_HFX_BWComics : public PostProcess {
  public:
    std::string class_name() const override { return "PP_HFX_BWComics"; }
    static constexpr LookSpec kLook{"B&W Comics", "Hollywood FX", localizedSlider("Contrast", 1.5, 3.0, 2.5)};
    const LookSpec* look_spec() const override { return &kLook; }
    bool pixels_are_independent() override { return true; }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

  private:
    float m_contrast = 0.0f; // read once per run rather than per pixel
};
