#pragma once
// Colour strokes: the picture turns grey except near one target colour, which is kept and
// over-saturated; a fixed contrast step follows. One type per target colour.
#include "engine/PixelRows.h"

#include <string>

// What a colour-stroke pixel function needs besides the position. Held by the effect for the
// run, so two effects never see each other's settings.
struct cs_settings_t {
    float saturation = 1.0f;            // applied to pixels of the target colour
    float color_tolerance_scale = 1.0f; // scales the colour-distance threshold
};

// Stroke pixels at (x, y) of the working image; black outside it.
pixel_t get_pixel_cs_red(int32_t x, int32_t y, const cs_settings_t& settings);
pixel_t get_pixel_cs_green(int32_t x, int32_t y, const cs_settings_t& settings);
pixel_t get_pixel_cs_blue(int32_t x, int32_t y, const cs_settings_t& settings);
pixel_t get_pixel_cs_yellow(int32_t x, int32_t y, const cs_settings_t& settings);
pixel_t get_pixel_cs_magenta(int32_t x, int32_t y, const cs_settings_t& settings);
pixel_t get_pixel_cs_cyan(int32_t x, int32_t y, const cs_settings_t& settings);
// Grey (v, v, v), v = 0.3 r + 0.59 g + 0.11 b.
pixel_t do_filter_environment(pixel_t p);

class PP_CS : public PixelRows<PP_CS> {
  public:
    std::string class_name() const override { return "PP_CS"; }
    int32_t look_count() const override;
    const LookSpec* look_spec() const override;
    bool pixels_are_independent() override { return true; }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

  private:
    double m_saturation = 0.0;
    cs_settings_t m_settings;
};
