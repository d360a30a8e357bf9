#pragma once
// Gaussian kernel tables and the two-pass gaussian blur with mirrored edges.

#include <cstdint>

// New table of r rows of 2r + 1 floats: row k (1..r) starts at float index (k - 1)(2r + 1) and
// holds the 2k + 1 normalised weights for offsets -k..k, the rest of the row 0. Null for r = 0 or
// when memory runs out. The caller frees it with std::free.
float* gaussianMatrixForRadius(unsigned r);

// Blurs one channel: horizontal then vertical pass with kernel_size weights centred on the pixel,
// each pass truncating to a byte. Pixels sit stride bytes apart, rows width x stride bytes. A
// sample outside the image is mirrored about the centre pixel (and clamped if still outside).
// With step above 1 only every step-th row and column is computed and written, from samples on
// that same grid. src and dst may be different bytes of one buffer. `rounded`: each pass rounds
// to the nearest byte instead, so that a flat area keeps its value. False when scratch memory ran
// out or the work was cancelled (graphics::workCancelled): the output is then incomplete.
[[nodiscard]] bool gaussianBlur(const uint8_t* src, uint8_t* dst, int width, int height, const float* kernel,
                                int kernel_size, int src_stride, int dst_stride, int step,
                                bool rounded = false);
// gaussianBlur on bytes 1, 2, 3 of 4-byte pixels.
[[nodiscard]] bool gaussianBlurARGB(const uint8_t* src, uint8_t* dst, int width, int height,
                                    const float* kernel, int kernel_size, int step, bool rounded = false);
