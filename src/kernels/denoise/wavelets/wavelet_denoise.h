#pragma once
// Wavelet denoising by hard thresholding, averaged over four cycle spins (the sampling phase
// of the finest level moved by 0 or 1 sample in x and in y) with the Daubechies 7/9 bank
// over 4 levels. Diagnostics go to standard output.
#include <cstdint>

// Zeroes every coefficient of the height x width array whose magnitude is at most
// `threshold`; returns how many it zeroed.
int hard_threshold(float** rows, int height, int width, float threshold);
// Clamps to 0..255, then rounds half up (add 0.5 and truncate).
void round_and_clip_to_0_255(float** rows, int height, int width);

// `in` and `out` are height x width arrays of rows; they may be the same array. Returns false
// (out untouched) for an empty plane or when memory runs out.
bool wavelet_denoise(float** in, float** out, int width, int height, float threshold);

// Denoises colour bytes 1, 2, 3 of a 4-byte-a-pixel image into dst (byte 0 untouched).
// Returns false, dst untouched, for null buffers, an empty image or when memory runs out.
bool denoise_wav(const uint8_t* src, int width, int height, int row_bytes, uint8_t* dst, int dst_row_bytes,
                 float threshold);
