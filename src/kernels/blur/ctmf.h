#pragma once
// Constant-time median filter: every output sample is the median of the (2r + 1) x (2r + 1)
// window around it, for each interleaved 8-bit channel on its own, with the image edges
// repeated outward. The cost per sample does not depend on r: one histogram per column and
// one for the window, each 16 coarse and 256 fine 16-bit counts (544 bytes). The image is
// worked in vertical stripes, overlapping by 2r columns, whose column histograms take
// about memory_size bytes a channel.
#include <cstdint>

// Bytes one histogram takes; memory_size is counted in these.
constexpr int kCtmfHistogramBytes = 544;

// src and dst hold width x height samples of `channels` bytes, rows src_step and dst_step
// bytes apart, and must not overlap. Returns false, touching nothing, unless both buffers
// are given, 0 <= r <= 127 (the window count must fit 16 bits), width and height are at
// least 2r + 1, channels >= 1, both steps are non-zero and memory_size / 544 > 2r.
bool ctmf(const uint8_t* src, uint8_t* dst, int width, int height, int src_step, int dst_step, int r,
          int channels, long memory_size);
