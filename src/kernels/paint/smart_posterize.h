#pragma once
// Smart posterize: reduces an image to flat areas of colour that follow its shapes. The image
// is blurred, contrast-raised and quantised; every 4-connected area of one quantised colour is
// then painted with the mean of the source colours under it, so the areas keep the photo's
// real hues.
#include <cstdint>

// src and dst: separate width x height buffers of 4-byte pixels (byte 0 alpha, bytes 1, 2, 3
// red, green, blue), rows of exactly 4 x width bytes. levels is the quantisation step (below 1
// counts as 1), blur the box blur size (radius blur - 1, at least 0), contrast a gain in
// 1/256 (256 leaves colours as they are). dst is overwritten: every pixel gets its area's
// truncated mean colour and alpha 2. False, dst incomplete, for no picture, when the blur or a
// fill ran out of memory or the work was cancelled.
[[nodiscard]] bool smart_posterize(const uint8_t* src, uint8_t* dst, int width, int height, int levels,
                                   int blur, int contrast);
