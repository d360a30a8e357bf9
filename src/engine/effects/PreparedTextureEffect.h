#pragma once
// Base of the effects that make their whole picture once per run, before the pixel loop, into a
// texture of their own, and whose per-pixel hook only reads it back. The texture has the size of
// the run's output: the preview's in preview mode (read back scaled), else the working image's.
// Also the per-pixel formulas the halftone and posterize looks share.
#include "engine/PostProcess.h"
#include "kernels/Texture.h"

#include <cstdint>
#include <memory>

class PreparedTextureEffect : public PostProcess {
  public:
    PreparedTextureEffect() = default;
    ~PreparedTextureEffect() override;

    bool this_filter_is_simply_color_modify() override { return true; }
    // mp_tex bytes 1, 2, 3 at (x, y) scaled to the texture. Without a texture (memory ran out)
    // the source pixel, so a failed run leaves the picture as it was.
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;
    void process_ended() override;

    // Quantisation step of the posterize kernel for a "Colors" value: 1 (none) at 1.0, 128 at 0.0.
    static int posterize_levels(double colors);
    // Brightness factor 0..1 that darkens a pixel of src (w x h, 4 bytes a pixel) by how much
    // darker it is than the mean of its eight neighbours at radius; 1 where it is not darker.
    static float edge_factor(const uint8_t* src, int32_t w, int32_t h, int32_t x, int32_t y, float radius,
                             float gain);
    // Overlay of the layer bytes over a base (0..1 per channel), as bytes written back to out.
    static void overlay_bytes(pixel_t base, const uint8_t layer[3], uint8_t out[3]);

  protected:
    // Frees a texture left over and makes mp_tex for this run. False when memory ran out.
    bool create_texture();
    // The run's source at mp_tex's size: the working image itself at full size, else a
    // nearest-neighbour copy (alpha bytes zero) kept until release_source(). scale is mp_tex's
    // width over the working image's. Null when memory ran out (mp_tex is then freed too).
    const uint8_t* run_source(float& scale);
    void release_source() { m_scratch.reset(); }
    void free_texture();
    // Nearest-neighbour copy of the working image's colour into w x h pixels (alpha bytes zero).
    void copy_reduced_source(uint8_t* out, int32_t w, int32_t h) const;

    texture_t* mp_tex = nullptr;

  private:
    std::unique_ptr<uint8_t[]> m_scratch;
};
