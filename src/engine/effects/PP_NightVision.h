#pragma once
// Night vision: where the 8 x 8 neighbourhood is dark, the pixel is brightened by "Amount",
// the more the darker; brighter places are only clamped.
#include "engine/PostProcess.h"

#include <string>

class PP_NightVision : public PostProcess {
  public:
    std::string class_name() const override { return "PP_NightVision"; }
    std::string get_name() override { return "Night Vision"; }
    std::string get_categorie() override { return "Image Correction"; }
    PostProcessParameter* param_1() override;
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

  private:
    float m_param1v = 0.0f;
    float m_param2v = 0.0f;
};
