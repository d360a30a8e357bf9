#pragma once
// "Predator Vision": brightness mapped onto a five-colour thermal palette.
#include "engine/PostProcess.h"

#include <string>

class PP_HFX_Predator : public PostProcess {
  public:
    std::string class_name() const override { return "PP_HFX_Predator"; }
    static constexpr LookSpec kLook{"Predator Vision", "SFX"};
    const LookSpec* look_spec() const override { return &kLook; }
    bool pixels_are_independent() override { return true; }
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;
};
