#pragma once
// Passes the picture through unchanged: a placeholder look with no parameters.
#include "engine/PostProcess.h"

#include <string>

class PP_Normalize : public PostProcess {
  public:
    std::string class_name() const override { return "PP_Normalize"; }
    static constexpr LookSpec kLook{"Normalize", "Uncategorized"};
    const LookSpec* look_spec() const override { return &kLook; }
    bool this_filter_is_simply_color_modify() override { return true; }
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override {
        (void)pass;
        return get_source_pixel(x, y);
    }
};
