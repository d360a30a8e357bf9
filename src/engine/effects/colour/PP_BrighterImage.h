#pragma once
// "Brightness": every channel times "Brightness".
#include "engine/LevelRows.h"

#include <string>

class PP_BrighterImage : public LevelRows<PP_BrighterImage> {
  public:
    std::string class_name() const override { return "PP_BrighterImage"; }
    static constexpr LookSpec kLook{"Brightness", "Trash", localizedSlider("Brightness", 0.1, 3.0, 1.4)};
    const LookSpec* look_spec() const override { return &kLook; }
    bool this_filter_is_simply_color_modify() override { return true; }
    bool pixels_are_independent() override { return true; }
    void prepare_for_process() override;
    // Each channel of the result from that channel of source alone.
    pixel_t colour(const pixel_t& source) const;

  private:
    double m_brightness = 1.4;
};
