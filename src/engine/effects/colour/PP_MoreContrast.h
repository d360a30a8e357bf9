#pragma once
// The picture with its contrast around mid grey scaled by "Contrast".
#include "engine/LevelRows.h"

#include <string>

class PP_MoreContrast : public LevelRows<PP_MoreContrast> {
  public:
    std::string class_name() const override { return "PP_MoreContrast"; }
    static constexpr LookSpec kLook{"Contrast", "Trash", localizedSlider("Contrast", 0.4, 2.0, 1.5)};
    const LookSpec* look_spec() const override { return &kLook; }
    bool this_filter_is_simply_color_modify() override { return true; }
    void prepare_for_process() override;
    // Each channel of the result from that channel of source alone.
    pixel_t colour(const pixel_t& source) const;

  private:
    double m_contrast = 0.0;
};
