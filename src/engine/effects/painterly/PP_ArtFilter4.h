#pragma once
// "Posterize": every channel cut down to "Amount" levels below full.
#include "engine/PostProcess.h"

#include <string>

class PP_ArtFilter4 : public PostProcess {
  public:
    std::string class_name() const override { return "PP_ArtFilter4"; }
    static constexpr LookSpec kLook{"Posterize", "Art", literalSlider("Amount", 2.0, 8.0, 5.0)};
    const LookSpec* look_spec() const override { return &kLook; }
    bool pixels_are_independent() override { return true; }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

  private:
    int32_t m_amount = 5;
    float m_levels = 5.0f; // m_amount as a float
};
