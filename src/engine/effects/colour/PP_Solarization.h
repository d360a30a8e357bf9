#pragma once
// Solarisation: each channel folded at mid grey (dark and light both become bright), then
// contrasted by "Contrast".
#include "engine/LevelRows.h"

#include <string>

class PP_Solarization : public LevelRows<PP_Solarization> {
  public:
    std::string class_name() const override { return "PP_Solarization"; }
    static constexpr LookSpec kLook{"Solarize", "Color Fantasy", localizedSlider("Contrast", 0.5, 2.0, 1.0)};
    const LookSpec* look_spec() const override { return &kLook; }
    bool this_filter_is_simply_color_modify() override { return true; }
    void prepare_for_process() override;
    // Each channel of the result from that channel of source alone.
    pixel_t colour(const pixel_t& source) const;

  private:
    float m_contrast = 1.0f;
};
