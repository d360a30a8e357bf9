#pragma once
// Passes the picture through unchanged: a placeholder look with no parameters.
#include "engine/LevelRows.h"

#include <string>

class PP_Normalize : public LevelRows<PP_Normalize> {
  public:
    std::string class_name() const override { return "PP_Normalize"; }
    static constexpr LookSpec kLook{"Normalize", "Uncategorized"};
    const LookSpec* look_spec() const override { return &kLook; }
    bool this_filter_is_simply_color_modify() override { return true; }
    pixel_t colour(const pixel_t& source) const { return source; }
};
