#pragma once
// Four colour treatments computed from the pixel alone, one per type: "Night Vision Cam" (a green
// burn with a random brightness flicker), "Sanibel", "Mars" and "Griffin". Results are returned
// unclamped.
#include "engine/PixelRows.h"

#include <cstdint>
#include <string>

class PP_Effects_Bundle2 : public PixelRows<PP_Effects_Bundle2> {
  public:
    std::string class_name() const override { return "PP_Effects_Bundle2"; }
    int32_t look_count() const override;
    const LookSpec* look_spec() const override;
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;
    // "Night Vision Cam" draws random numbers per pixel.
    bool pixels_are_independent() override { return m_type != 0; }

  private:
    float m_prm1 = 0.0f;
    float m_prm2 = 0.0f;
};
