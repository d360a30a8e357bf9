#pragma once
// Process-wide gaussian kernel table for effects that blur pixel by pixel inside their per-pixel
// step: a first pass writes the vertical blur of each visited pixel into a texture, a later pass
// reads the horizontal blur of that texture. Radii are clamped to 1..100, so the table built on
// creation is never rebuilt by the passes and worker threads only read it.

#include "kernels/Texture.h"
#include "kernels/blur/GaussianKernelCache.h"

#include <cstddef>
#include <cstdint>

// A blurred colour, each channel 0..1.
struct GaussianBlurColor {
    float red, green, blue;
};

class GaussianBlur {
  public:
    // Created on first use; thread-safe.
    static GaussianBlur* sharedGaussianBlur();

    GaussianBlur();

    // Row r of the table (see GaussianKernelCache).
    const float* gaussianMatrixForRadius(size_t r);

    // Vertical blur at (X, Y) of bytes 1-3 of data, an image of the texture's size, into texel
    // (X, Y). Rows are sampled stepX apart; rows past the bottom read the row stepX above the end.
    void gaussianBlurFirstPassForData(const uint8_t* data, texture_t* texture, int32_t radius, int32_t stepX,
                                      int32_t X, int32_t Y);
    // Horizontal blur at (X, Y) of texels that the first pass wrote, sampled stepX apart in row Y.
    // Columns past the right end read the last column the first pass visited, (width - 1) / stepX
    // x stepX, so every caller has run the first pass over that grid.
    GaussianBlurColor gaussianBlurSecondPassForTexture(const texture_t* texture, int32_t radius,
                                                       int32_t stepX, int32_t X, int32_t Y);

    // Both passes for one radius over the whole grid a run visits (every stepX-th column of every
    // stepY-th row), rows in parallel. Afterwards bytes 1-3 of each grid texel hold what the second
    // pass would have turned into its colour there, had the first pass run over the whole grid
    // before it: secondPassChannel of them gives the same colour. Texels off the grid are untouched.
    // False when memory ran out or the work was cancelled (graphics::workCancelled): the grid is
    // then incomplete.
    [[nodiscard]] bool gaussianBlurBothPasses(const uint8_t* data, texture_t* texture, int32_t radius,
                                              int32_t stepX, int32_t stepY);
    // A colour channel of the second pass from the byte gaussianBlurBothPasses stored.
    static float secondPassChannel(uint8_t byte) { return float(byte / 255.0); }

  private:
    static constexpr int32_t kMaxRadius = 100;
    GaussianKernelCache _cache;
};
