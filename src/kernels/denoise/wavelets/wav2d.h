#pragma once
// Separable 2-D wavelet transforms in place over a 2-D float array (a table of row
// pointers). One level filters and decimates all rows, then all columns: each line keeps
// its low band in its first part and its high band after it, and the next level works on
// the low-low corner. The sampling phase of the finest level can be moved by one sample
// along rows (shift_rows) and along columns (shift_cols) for cycle spinning; the inverse
// must be given the same shifts. Lines shorter than 2 samples are left as they are.
#include "kernels/denoise/wavelets/wavelet_filters.h"

// Line extension. `line` points at the first of n samples with k free slots before it and
// after its last sample.
// Copies the k samples at each end beyond the other end (wrapping again if k > n).
void extend_periodic(float* line, int n, int k);
// Mirrors about the end sample (phase 0: x[-1] = x[1]), about half a sample (phase 1:
// x[-1] = x[0]), or (phase 2) about the first sample at the start and half a sample past
// the last at the end. A line of one sample repeats it. A phase of 3 or more prints
// "extend_mirror: illegal phase" on standard error and returns false, touching nothing.
bool extend_mirror(float* line, int n, int k, int phase);

// One line, extended by bank.extension() on both sides. The low band (samples at positions
// shift, shift + 2, ...) goes to out[0 .. low), the high band after it.
void filter_n_decimate(const float* line, int n, float* out, const WaveletBank& bank, int shift);
// One line from its upsampled bands: `low` and `high` hold n samples each, zero where the
// band has no sample, extended by bank.extension() on both sides. Adds both contributions.
void upsample_n_filter(const float* low, const float* high, int n, float* out, const WaveletBank& bank);

// Every row (or column) of the width x height block whose top-left sample is rows[y0][x0].
void filt_n_dec_all_rows(float** rows, int x0, int y0, int width, int height, const WaveletBank& bank,
                         int shift);
void filt_n_dec_all_cols(float** rows, int x0, int y0, int width, int height, const WaveletBank& bank,
                         int shift);
void ups_n_filt_all_rows(float** rows, int x0, int y0, int width, int height, const WaveletBank& bank,
                         int shift);
void ups_n_filt_all_cols(float** rows, int x0, int y0, int width, int height, const WaveletBank& bank,
                         int shift);

// One level on the width x height block whose top-left sample is rows[y0][x0], with one bank
// along rows and another along columns (the trees of the dual-tree transforms mix them).
// No checks: periodic banks need even lengths.
void wav2d_level(float** rows, int x0, int y0, int width, int height, const WaveletBank& row_bank,
                 const WaveletBank& col_bank, bool forward, int shift_rows, int shift_cols);
// The packet tree of `levels` levels on that block; the shifts apply to its first level.
void wavpack2d_block(float** rows, int x0, int y0, int width, int height, int levels,
                     const WaveletBank& row_bank, const WaveletBank& col_bank, bool forward, int shift_rows,
                     int shift_cols);

// `levels` levels, forward or inverse. Returns false, touching nothing, when a periodic
// bank would meet a line of odd length (it cannot reconstruct those) or levels < 0.
bool wav2d_inpl(float** rows, int height, int width, int levels, const WaveletBank& bank, bool forward,
                int shift_rows, int shift_cols);
// Packet form: at every level each of the four bands is split again.
bool wavpack2d_inpl(float** rows, int height, int width, int levels, const WaveletBank& bank, bool forward,
                    int shift_rows, int shift_cols);
