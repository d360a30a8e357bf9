#pragma once
// A coloured lens: the picture, with its contrast raised, multiplied by one of ten lens colours
// chosen by type. Types other than 0..9 give the turquoise lens under a generic name.
#include "engine/PostProcess.h"

#include <string>

class PP_LensFilter : public PostProcess {
  public:
    std::string class_name() const override { return "PP_LensFilter"; }
    int32_t look_count() const override;
    const LookSpec* look_spec() const override;
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

    // The lens colour of a type, each level over 255.
    static pixel_t lens_color(int32_t type);
    // "Contrast" + 1.35: even at 0 the lens raises contrast.
    static float lens_contrast(double value) { return float(value + 1.35); }

  private:
    float m_contrast = 1.35f;
    pixel_t m_lens{0.0f, 0.0f, 0.0f};
};
