#pragma once
// Comic-book look: flat posterised colour, dark outlines and a colour dot screen over it.
#include "engine/effects/texture/PreparedTextureEffect.h"

#include <cstdint>
#include <string>

class PP_ComixHalftone : public PreparedTextureEffect {
  public:
    std::string class_name() const override { return "PP_ComixHalftone"; }
    static constexpr LookSpec kLook{"Comix Halftone", "Art",
                                    localizedSlider("Colors", 0.0, 1.0, double(0.81f)),
                                    localizedSlider("Size", 0.0, 1.0, double(0.7f))};
    const LookSpec* look_spec() const override { return &kLook; }
    void prepare_for_process() override;

    // The smallest dot size (half-width in pixels) a reduced render draws its screen at: below it
    // the pixel grid, not the dot, decides how much ink lands, and the tone strays from full size.
    static constexpr float kReducedDotSize = 2.0f;

  private:
    bool draw(const uint8_t* src, uint8_t* out, int32_t w, int32_t h, float k);
};
