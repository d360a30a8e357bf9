#pragma once
// Gaussian blur in two passes: type 0 over the whole photo, type 1 growing from a sharp disc round
// the centre ("Radial Blur"), type 2 from a sharp horizontal band through it ("Tilt-Shift"). The
// radius scales with the width the run renders, so previews look like the result.
#include "engine/PostProcess.h"
#include "kernels/Texture.h"

#include <cstdint>
#include <string>

class PP_GaussianBlur : public PostProcess {
  public:
    ~PP_GaussianBlur() override;
    std::string class_name() const override { return "PP_GaussianBlur"; }
    int32_t look_count() const override;
    const LookSpec* look_spec() const override;
    bool isCenterSupported() override { return m_type == 1 || m_type == 2; }
    uint64_t passes() override { return 2; }
    // The first pass writes only its own texel; the second reads them once that pass is over.
    bool pixels_are_independent() override { return true; }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;
    void process_ended() override;

  private:
    // Blur radius at (x, y) for types 1 and 2; 0 inside the sharp zone.
    int32_t radiusAt(int32_t x, int32_t y) const;

    texture_t* mp_tex = nullptr;
    uint64_t _currentRadius = 1;
    uint64_t _radiusFromCenter = 0;
    // Distance over which the radius grows to _currentRadius; at least 1.
    uint64_t _blurWidth = 1;
    double m_exponent = 1.0; // "Radius" + 1 (type 1)
    graphics::Point m_center;
};
