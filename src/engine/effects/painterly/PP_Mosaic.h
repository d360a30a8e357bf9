#pragma once
// "Mosaic 2": the photo as irregular flat tiles. One jittered point per square grid cell, the
// borders of their Voronoi cells drawn as one-pixel black lines, every tile painted with the
// photo's colour at its first pixel in scan order. The whole picture is made once per run: at the
// working image's size at full size, at the preview's own size in preview (only the sampled
// positions are worked out). The catalogue does not create this effect.
//
// At full size the mosaic is drawn in the run's output buffer. While the effect is the live preview
// the last preview mosaic is kept; it is freed when a run ends outside preview, when the effect
// leaves preview, and with the effect.
#include "engine/PostProcess.h"
#include "engine/effects/texture/OutputTexture.h"
#include "kernels/Texture.h"

#include <cstdint>
#include <string>

class PP_Mosaic : public PostProcess {
  public:
    PP_Mosaic() = default;
    ~PP_Mosaic() override;

    std::string class_name() const override { return "PP_Mosaic"; }
    static constexpr LookSpec kLook{"Mosaic 2", "SFX", localizedSlider("Size", 0.0, 1.0, double(0.1f))};
    const LookSpec* look_spec() const override { return &kLook; }
    bool this_filter_is_simply_color_modify() override { return true; }
    // The hook only reads the finished mosaic; the random draws all happen before the pixel loop.
    bool pixels_are_independent() override { return true; }
    void on_preview_entered() override;
    void on_preview_exit() override;
    void prepare_for_process() override;
    // mp_tex bytes 1, 2, 3 at (x, y) (at (x, y) / step in preview); the source pixel when no
    // mosaic could be made.
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;
    void process_ended() override;

    // Draws the mosaic of data (X,R,G,B bytes, rows of 4 width bytes) into tex, whose own size
    // governs the work. Byte 0 of every texel ends up 255 on a cell border (black, unless
    // fill_edges spreads the tile colours over the borders) and 254 in a tile. A texture larger
    // than width x height is only cleared: the source would not cover it. Cells below 2 pixels
    // are taken as 2. Draws two numbers of Random::rand() per grid cell, rows outer. False, with
    // the texture cleared, when nothing could be drawn (no source, too small a source, no memory).
    static bool process_texture(texture_t* tex, const uint8_t* data, int32_t width, int32_t height,
                                int32_t cell_size, bool fill_edges);
    // The same mosaic as process_texture would draw over width x height, only at every step-th
    // column and row: texel (i, j) stands for pixel (i step, j step). Draws the same seeds (the
    // same Random::rand() draws); a texel is a border where the pixel lies within the one-pixel
    // line of a Voronoi edge, else it takes the colour of its tile's first sampled pixel in scan
    // order that lies clear of the tile's edges. The texture must be ((width - 1) / step + 1) x
    // ((height - 1) / step + 1). False, the texture cleared, when nothing could be drawn.
    static bool process_preview_texture(texture_t* tex, const uint8_t* data, int32_t width, int32_t height,
                                        int32_t cell_size, int32_t step);

  protected:
    void free_texture();

    bool m_in_preview = false;
    texture_t* mp_tex = nullptr;
    OutputTexture m_output;
    int32_t m_step = 1; // working-image pixels per texel of mp_tex
};
