#pragma once
// A test look with two sliders whose pixels pass through unchanged.
#include "engine/PostProcess.h"

#include <string>

class PP_NV1 : public PostProcess {
  public:
    std::string class_name() const override { return "PP_NV1"; }
    static constexpr LookSpec kLook{"PP_NV1", "Test", localizedSlider("br", 0.0, 0.5, 0.22),
                                    localizedSlider("contr", 1.0, 2.0, 1.2)};
    const LookSpec* look_spec() const override { return &kLook; }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override {
        (void)pass;
        return get_source_pixel(x, y);
    }

  private:
    double m_contrast = 0.0;
    double m_gamma_range = 0.0;
};
