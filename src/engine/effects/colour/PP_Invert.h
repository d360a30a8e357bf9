#pragma once
// The negative, with "Contrast" applied before inverting.
#include "engine/LevelRows.h"

#include <string>

class PP_Invert : public LevelRows<PP_Invert> {
  public:
    std::string class_name() const override { return "PP_Invert"; }
    static constexpr LookSpec kLook{"Invert Image", "Color Fantasy",
                                    localizedSlider("Contrast", 0.5, 2.0, 1.0)};
    const LookSpec* look_spec() const override { return &kLook; }
    bool this_filter_is_simply_color_modify() override { return true; }
    void prepare_for_process() override;
    // Each channel of the result from that channel of source alone.
    pixel_t colour(const pixel_t& source) const;

  private:
    float m_contrast = 1.0f;
};
