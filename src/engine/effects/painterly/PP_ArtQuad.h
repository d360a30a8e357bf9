#pragma once
// Four-panel posters: the photo shown at half size in each quarter of the frame, each quarter
// blended with its own colour, most types with a plain frame around and between the quarters.
// Types 0 .. 9 ("Art Quad 1" .. "Art Quad 10"); any other type gives black.
#include "engine/PostProcess.h"

#include <cstdint>
#include <string>

// Packs three channels into a pixel.
inline pixel_t make_pixel(float r, float g, float b) {
    return {r, g, b};
}

class PP_ArtQuad : public PostProcess {
  public:
    std::string class_name() const override { return "PP_ArtQuad"; }
    int32_t look_count() const override;
    const LookSpec* look_spec() const override;
    bool pixels_are_independent() override { return true; }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

  private:
    int32_t m_border = 10; // "Width", truncated
};
