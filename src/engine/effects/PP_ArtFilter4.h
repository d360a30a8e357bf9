#pragma once
// "Posterize": every channel cut down to "Amount" levels below full.
#include "engine/PostProcess.h"

#include <string>

class PP_ArtFilter4 : public PostProcess {
  public:
    std::string class_name() const override { return "PP_ArtFilter4"; }
    std::string get_name() override { return "Posterize"; }
    std::string get_categorie() override { return "Art"; }
    bool pixels_are_independent() override { return true; }
    PostProcessParameter* param_1() override;
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

  private:
    int32_t m_amount = 5;
    float m_levels = 5.0f; // m_amount as a float
};
