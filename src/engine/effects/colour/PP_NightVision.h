#pragma once
// Night vision: where the 8 x 8 neighbourhood is dark, the pixel is brightened by "Amount",
// the more the darker; brighter places are only clamped.
#include "engine/PostProcess.h"

#include <string>

class PP_NightVision : public PostProcess {
  public:
    std::string class_name() const override { return "PP_NightVision"; }
    static constexpr LookSpec kLook{"Night Vision", "Image Correction",
                                    localizedSlider("Amount", 1.0, 10.0, 5.0)};
    const LookSpec* look_spec() const override { return &kLook; }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

  private:
    float m_param1v = 0.0f;
    float m_param2v = 0.0f;
};
