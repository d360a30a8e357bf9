#pragma once
// Dual-tree complex wavelet transforms: four real transforms of one plane, one for each pair
// of trees (tree a or b along rows, tree a or b along columns). Set t holds the tree with
// row tree b when t & 1 and column tree b when t & 2. The first level uses bank 'A', tree b
// on the plane delayed by one sample (wrapping); the later levels use bank 'N' for tree a and
// its time-reversed variant for tree b, so tree b lags tree a by half a coefficient at every
// level and the two trees form an approximate Hilbert pair (coefficient magnitudes barely
// change when the picture moves).
//
// Outside the coarsest low-low corner the sets are then combined pairwise, s0, s3 <- (s0 +- s3)
// / sqrt(2) and s1, s2 <- (s1 +- s2) / sqrt(2), so that sets 0 and 2 and sets 1 and 3 hold the
// real and imaginary parts of the complex coefficients of the two diagonal orientations.
//
// Every set is complex_wav_size() big: each side rounded up to a multiple of 2^levels, the
// plane extended past its last row and column by mirroring, so that every level splits lines
// of even length, which the periodic 'N' bank needs to reconstruct. The inverse averages the
// four trees and uses the sets as scratch.

// False for levels outside 0..24 or sizes below 1.
bool complex_wav_size(int height, int width, int levels, int& set_height, int& set_width);

// `in` is height x width; each of sets[0..3] must be complex_wav_size() big.
// Return false, touching nothing, for null arrays or sizes complex_wav_size refuses.
bool complex_wav_forw(float** in, int height, int width, int levels, float** const sets[4]);
bool complex_wav_inv(float** const sets[4], int height, int width, int levels, float** out);
// Packet forms: after the first level every band is split again.
bool complex_wav_pack_forw(float** in, int height, int width, int levels, float** const sets[4]);
bool complex_wav_pack_inv(float** const sets[4], int height, int width, int levels, float** out);

// Zeroes every pair (re[y][x], im[y][x]) whose squared magnitude is below threshold^2; returns
// how many pairs it zeroed.
int hard_threshold_complex(float** re, float** im, int height, int width, float threshold);
