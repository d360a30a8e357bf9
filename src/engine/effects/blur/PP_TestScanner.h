#pragma once
// "Test Scanner": a median filter, each pixel replaced by the upper median by brightness of the
// 10 x 10 window from five pixels above and to the left of it (black outside the image).
#include "engine/PostProcess.h"

class PP_TestScanner : public PostProcess {
  public:
    // Largest radius do_median_filer_x takes: its samples live on the stack.
    static constexpr int32_t kMaxRadius = 5;

    std::string class_name() const override { return "PP_TestScanner"; }
    static constexpr LookSpec kLook{"Test Scanner", "Test Scanner"};
    const LookSpec* look_spec() const override { return &kLook; }
    bool pixels_are_independent() override { return true; }
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

    // Of the samples at columns x - radius .. x + radius - 1 and rows y - radius .. y + radius - 1,
    // the colour at index (2 radius)^2 / 2 in order of brightness; which of several samples of
    // equal brightness is not defined. The radius is limited to 1 .. kMaxRadius.
    static pixel_t do_median_filer_x(int32_t x, int32_t y, int32_t radius);
};
