#pragma once
// Noise level of an image plane from block statistics of its horizontal derivative: blocks
// are grouped by mean intensity into bins, and in each bin the block at a low percentile of
// derivative spread, scaled by a calibration factor, gives the bin's noise level. Only the
// calibrated pairs of block size and percentile are accepted: 15 or 21 with 0.01 or 0.005.

// Sorts keys[0..n) ascending and applies the same permutation to other[0..n). Works with an
// explicit stack of 50 ranges; returns false after printing "Stack too small" on standard
// error if that is ever exceeded (the larger range is always deferred, so it is not for any
// n an int can hold).
bool quick_sort(float* keys, float* other, int n);

// derivative[(y * (width - 1)) + x] = (image(x + 1, y) - image(x, y)) / sqrt(2), for
// x < width - 1: the noise of a single sample keeps its spread.
void noise_estimate_compute_derivative(const float* image, int width, int height, float* derivative);

// For every whole block_size x block_size block of the derivative (row by row), the mean of
// the image and the standard deviation (divisor count - 1) of the derivative over the block.
// The arrays hold ((width - 1) / block_size) x (height / block_size) entries; returns that count.
int noise_estimate_derivative_variance(const float* image, int width, int height, const float* derivative,
                                       int block_size, float* means, float* deviations);

// image is width x height floats. Writes `bins` noise levels and intensities (the chosen
// block's mean); a bin without blocks gets noise level -1 and intensity 0. Bins hold equal
// numbers of blocks when equal_count_bins is set, else equal steps of mean intensity between
// the lowest and the highest block. Returns false, writing nothing, for a pair that is not
// calibrated (after printing "ERROR :: noise_estimation_algorithm :: parameters not
// calibrated" on standard error), for bins < 1, missing buffers or an image without a block.
bool noise_estimation_algorithm(const float* image, int width, int height, int block_size, float percentile,
                                int bins, bool equal_count_bins, float* noise_levels, float* intensities);
