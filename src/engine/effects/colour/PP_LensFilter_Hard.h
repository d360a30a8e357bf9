#pragma once
// The lens over the grey of the picture: the mean of the contrasted channels multiplied by the
// lens colour of PP_LensFilter's type, under the same name with " Mono".
#include "engine/PostProcess.h"

#include <string>

class PP_LensFilter_Hard : public PostProcess {
  public:
    std::string class_name() const override { return "PP_LensFilter_Hard"; }
    int32_t look_count() const override;
    const LookSpec* look_spec() const override;
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

  private:
    float m_contrast = 1.35f;
    pixel_t m_lens{0.0f, 0.0f, 0.0f};
};
