#pragma once
// Non-local-means noise reduction: every pixel becomes a weighted average of the pixels
// within 7 rows and columns whose 3 x 3 neighbourhoods look alike.
//
// Callers may rely on: results that do not depend on the number of threads (summation order
// is fixed per pixel); a progress callback called only on the calling thread with values that
// never decrease, ending at 1 when the work completes; a zero answer stopping the work within
// one tile, the positions not reached keeping their input values. Both answer false when memory
// ran out or the callback stopped the work: the destination is then not to be used.
#include <cstdint>

// Progress in 0..1 and the caller's context; answer 0 to stop, anything else to go on.
typedef int (*denoise_progress_t)(float progress, void* context);

// Denoises colour bytes 1-3 of the ARGB source into those of the destination (byte 0 of the
// destination is not touched), resampling by nearest pixel when the sizes differ. h scales
// the tolerance band of the weights; amount sets the noise level (0 leaves the image as it is).
// threads: 0 for one per core. Prints the image size and the processor time on standard output.
[[nodiscard]] bool denoise(const uint8_t* src, int src_width, int src_height, int src_row_bytes, uint8_t* dst,
                           int dst_width, int dst_height, int dst_row_bytes, denoise_progress_t callback,
                           void* context, float h, float amount, unsigned threads = 0);

// Non-local means over three planes of width x height floats (rows of width values). Only
// positions at least patch_radius + search_radius from every edge are processed and paired;
// the others, like any position that finds no similar neighbour, keep their input value.
[[nodiscard]] bool nlmeans(int patch_radius, int search_radius, float h, float sigma_r, float sigma_g,
                           float sigma_b, const float* in_r, const float* in_g, const float* in_b,
                           float* out_r, float* out_g, float* out_b, int width, int height,
                           denoise_progress_t callback, void* context, unsigned threads = 0);

// Mean squared difference of the patches around (x1, y1) and (x2, y2) in one plane, the centre
// left out; summed row by row. 0 for patch radius 0.
float l2_distance(const float* plane, int x1, int y1, int x2, int y2, int patch_radius, int width);
