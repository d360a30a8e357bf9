#pragma once
// Resizing by area: every output pixel is the mean of the source area it covers, each source pixel
// weighed by how much of it lies inside. Reduces without the stripes that sampling leaves on fine
// detail.
#include <cstdint>

// src and dst: separate buffers of 4-byte pixels (byte 0 alpha, bytes 1, 2, 3 red, green, blue),
// rows of exactly 4 x width bytes. Writes dst's colour bytes (rounded means) and sets its alpha
// bytes to 0. False, dst incomplete, for an empty size or when memory ran out.
[[nodiscard]] bool area_resample(const uint8_t* src, int src_w, int src_h, uint8_t* dst, int dst_w,
                                 int dst_h);
