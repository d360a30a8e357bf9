#pragma once
// Earlier non-local-means variants. Candidates are weighed from their patch distance d
// against the noise level: weight 1 below `lower`, falling linearly to 0 at `upper`, skipped
// from there on. Unless said otherwise a variant compares each centre with the triangle
// below it (rows dy = 0 .. search_radius, columns -dy .. dy) and lets each compared pair
// serve both pixels, and leaves a margin of patch_radius + search_radius untouched by
// weights. A pixel that gathers no weight keeps its input value.
//
// Planes are width x height values, rows of width; outputs must not overlap inputs.
#include <cstdint>

// Scales v[0..n) to sum 1; a sum of 0 leaves it as it is.
void normalize(float* v, int n);

// Sum over the (2 patch_radius + 1)^2 offsets of kernel[offset] times the squared
// difference of the patches around (x1, y1) and (x2, y2); kernel rows are 2 patch_radius + 1.
float weighted_l2_distance(const float* plane, int x1, int y1, int x2, int y2, const float* kernel,
                           int patch_radius, int width);

// Single plane. lower = 2 sigma^2; upper = lower + h sqrt(8 sigma^4 sum(kernel^2)) with a
// kernel (kernel_size x kernel_size, normalised to sum 1 on a copy, distances weighted by
// it), else lower + h sqrt(8 sigma^4 / (2 patch_radius + 1)^2) with the plain mean of the
// squared differences, centre left out. Finally out = 0.85 out + 0.15 in. Returns false,
// writing nothing, for missing planes, negative radii, or a kernel whose size is not
// 2 patch_radius + 1.
bool nlmeans(int patch_radius, int search_radius, bool use_kernel, const float* kernel, int kernel_size,
             float h, float sigma, const float* in, float* out, int width, int height);

// Three planes. v = (sigma_r^2 + sigma_g^2 + sigma_b^2) / 3, lower = 2v,
// upper = lower + h sqrt(8 v^2 / (3 (2 patch_radius + 1)^2)); d is the mean of the three
// channel distances (plain or kernel-weighted as above). Same failures as nlmeans.
bool nlmeans_org(int patch_radius, int search_radius, bool use_kernel, const float* kernel, int kernel_size,
                 float h, float sigma_r, float sigma_g, float sigma_b, const float* in_r, const float* in_g,
                 const float* in_b, float* out_r, float* out_g, float* out_b, int width, int height);

// Three planes over the full (2 search_radius + 1)^2 window inside the image, thresholds as
// nlmeans_org. Every accepted candidate adds its whole patch, with its weight, to the
// pixels of the patch around the centre. Near the image edge the patch radius shrinks to
// what fits around both pixels; distances are the mean squared difference over the whole
// patch, centre included.
bool nlmeans_sliding_window(int patch_radius, int search_radius, float h, float sigma_r, float sigma_g,
                            float sigma_b, const float* in_r, const float* in_g, const float* in_b,
                            float* out_r, float* out_g, float* out_b, int width, int height);

// Three 8-bit planes, thresholds as nlmeans_org, in integer arithmetic: channel distances
// (squared differences without the centre, divided by their count) summed and divided by 3,
// weights truncated to integers, 64-bit sums; outputs are the truncated weighted means.
// Prints "all_n: %u" and "use_n: %u" with the pairs compared and the pairs used.
bool nlmeans_int(int patch_radius, int search_radius, float h, float sigma_r, float sigma_g, float sigma_b,
                 const uint8_t* in_r, const uint8_t* in_g, const uint8_t* in_b, uint8_t* out_r,
                 uint8_t* out_g, uint8_t* out_b, int width, int height);
