#pragma once
// Contour, engraving and bump-map looks, one per type: "Dark Contours on White" and "Color
// Contours on Black" (difference from a box mean), "Dark Engraving" and "Bumpmapping 2" (Sobel
// sums at distance "Amount"), "Art Contours" (local range) and "Bumpmapping" (grey slopes).
// Neighbours beyond the edges read the nearest edge pixel. Results are returned unclamped.
#include "engine/PostProcess.h"

#include <cstdint>
#include <string>

class PP_Edges : public PostProcess {
  public:
    std::string class_name() const override { return "PP_Edges"; }
    int32_t look_count() const override;
    const LookSpec* look_spec() const override;
    bool pixels_are_independent() override { return true; }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

    // Per-channel minimum (from 1) and maximum (from 0) over columns min(x0, x1) .. max(x0, x1) - 1
    // and the same rows, positions clamped to the image.
    static void get_flat_min_max(int32_t x0, int32_t y0, int32_t x1, int32_t y1, pixel_t* min, pixel_t* max);

  private:
    // Horizontal plus vertical Sobel sum per channel at distance d.
    static pixel_t sobel(int32_t x, int32_t y, int32_t d);

    double m_float_param1 = 0.0;
    double m_float_param2 = 0.0;
    int32_t m_distance = 0; // trunc(m_float_param1)
};
