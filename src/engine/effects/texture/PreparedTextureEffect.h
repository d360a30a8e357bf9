#pragma once
// Base of the effects that make their whole picture once per run, before the pixel loop, into a
// texture of their own, and whose per-pixel hook only reads it back. The texture has the size of
// the run's output: the preview's in preview mode (read back scaled), else the working image's.
// Also the per-pixel formulas the halftone and posterize looks share.
#include "engine/BlendFunctions.h"
#include "engine/Neighbourhood.h"
#include "engine/PostProcess.h"
#include "engine/effects/texture/OutputTexture.h"
#include "kernels/Texture.h"
#include "kernels/halftone/color_halftone.h"
#include "platform/graphics/ParallelRows.h"

#include <cstdint>
#include <memory>

class PreparedTextureEffect : public PostProcess {
  public:
    PreparedTextureEffect() = default;
    ~PreparedTextureEffect() override;

    bool this_filter_is_simply_color_modify() override { return true; }
    bool pixels_are_independent() override { return true; }
    // mp_tex bytes 1, 2, 3 at (x, y) scaled to the texture. Without a texture (memory ran out)
    // the source pixel, so a failed run leaves the picture as it was.
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;
    void process_ended() override;

    // Quantisation step of the posterize kernel for a "Colors" value: 1 (none) at 1.0, 128 at 0.0.
    static int posterize_levels(double colors);
    // Per-pixel formulas, inline: the looks call them for every texel.
    // Brightness factor 0..1 that darkens a pixel of src (w x h, 4 bytes a pixel) by how much
    // darker it is than the mean of its eight neighbours at radius; 1 where it is not darker.
    static float edge_factor(const uint8_t* src, int32_t w, int32_t h, int32_t x, int32_t y, float radius,
                             float gain);
    // Overlay of the layer bytes over a base (0..1 per channel), as bytes written back to out.
    static void overlay_bytes(pixel_t base, const uint8_t layer[3], uint8_t out[3]);

  protected:
    // Frees a texture left over and makes mp_tex for this run. False when memory ran out: the run
    // then fails (preparation_failed), as it does when run_source() answers null. in_output: at
    // full size mp_tex is the run's output buffer (OutputTexture), for a look whose drawing reads
    // only the source; release_source() then hands it to the run.
    bool create_texture(bool in_output = false);
    // The run's source at mp_tex's size: the working image itself at full size, else a
    // nearest-neighbour copy (alpha bytes zero) kept until release_source(). scale is mp_tex's
    // width over the working image's. Null when memory ran out (mp_tex is then freed too).
    const uint8_t* run_source(float& scale);
    // Ends the drawing, also a failed one: frees the preview copy and hands a texture drawn in the
    // output buffer back to the run loop, where mp_tex stays readable.
    void release_source() {
        m_scratch.reset();
        m_output.hand_back();
    }
    void free_texture();
    // Nearest-neighbour copy of the working image's colour into w x h pixels (alpha bytes zero).
    void copy_reduced_source(uint8_t* out, int32_t w, int32_t h) const;
    // The halftone looks: the run's source screened into mp_tex with dots of size (the slider's
    // value, scaled with the run), then tone(source pixel bytes) overlaid on the screen.
    template <class Tone> void screen_and_overlay(double size, Tone tone);

    texture_t* mp_tex = nullptr;

  private:
    std::unique_ptr<uint8_t[]> m_scratch;
    OutputTexture m_output;
};

inline float PreparedTextureEffect::edge_factor(const uint8_t* src, int32_t w, int32_t h, int32_t x,
                                                int32_t y, float radius, float gain) {
    const uint8_t* p = src + (size_t(y) * size_t(w) + size_t(x)) * 4;
    const pixel_t b = do_blur_data(src, w, h, x, y, radius);
    const float e = float(int32_t(p[1]) + p[2] + p[3]) / 255.0f - (b.r + b.g + b.b);
    // A flat area leaves e a rounding residue of the neighbour mean (a few units in the last
    // place of about 3, so within 2e-6), which would still cost a brightness level; a true
    // difference is at least 1 / (255 x 8), about 4.9e-4.
    if (e > -1e-5f) return 1.0f;
    const float q = e * gain * 0.33333334f;
    const float f = 1.0f + q;
    return f < 0.0f ? 0.0f : f;
}

inline void PreparedTextureEffect::overlay_bytes(pixel_t base, const uint8_t layer[3], uint8_t out[3]) {
    constexpr float k = 0.003921569f;
    const pixel_t o = blend_overlay(base, {float(layer[0]) * k, float(layer[1]) * k, float(layer[2]) * k});
    out[0] = uint8_t(blend_detail::trunc_channel(double(o.r) * 255.0));
    out[1] = uint8_t(blend_detail::trunc_channel(double(o.g) * 255.0));
    out[2] = uint8_t(blend_detail::trunc_channel(double(o.b) * 255.0));
}

template <class Tone> void PreparedTextureEffect::screen_and_overlay(double size, Tone tone) {
    if (!create_texture(true)) return;
    float k = 1.0f;
    const uint8_t* src = run_source(k);
    if (!src) return;
    const int32_t w = mp_tex->width, h = mp_tex->height;
    if (!color_halftone(src, mp_tex->data, w, h, float(size * 20.0 * double(k)))) {
        release_source();
        free_texture();
        preparation_failed();
        return;
    }
    graphics::parallelRows(h, size_t(w), [&](int32_t y0, int32_t y1) {
        for (size_t i = size_t(y0) * size_t(w); i < size_t(y1) * size_t(w); ++i) {
            uint8_t* p = mp_tex->data + i * 4;
            overlay_bytes(tone(src + i * 4), p + 1, p + 1);
        }
    });
    release_source();
}
