#pragma once
// Box blurs by running sums, the edge map that glow and art effects turn into a soft mask, and
// those masks themselves. Pixels are 4 bytes (ARGB: byte 0 alpha, 1-3 red, green, blue; the _rgba
// forms read colour at bytes 0-2). Buffers belong to the caller; scratch memory lives only inside
// a call. Source and destination of a blur must not be the same bytes.
//
// Box blur: clamp-to-edge, every output is the sum over the (2 radius_y + 1) x (2 radius_x + 1)
// box divided by that count, truncated. Radii of 0 or more; O(width x height) whatever the radius.
//
// Every function answers whether it made its whole output: false when scratch memory ran out or
// the work was cancelled (graphics::workCancelled), the output then being incomplete.

#include <cstdint>

// One channel: src and dst point at the channel's byte of the first pixel; strides are the
// distances between pixels, row bytes between rows. column_sums holds width entries and may be
// used as scratch. Note the order of the radii: y first.
[[nodiscard]] bool fast_blur(const uint8_t* src, uint8_t* dst, int width, int height, int src_row_bytes,
                             int dst_row_bytes, int src_stride, int dst_stride, int radius_y, int radius_x,
                             uint32_t* column_sums);

// Bytes 1-3 of 4-byte pixels; dst byte 0 is left as it was.
[[nodiscard]] bool fast_blur_argb(const uint8_t* src, uint8_t* dst, int width, int height, int src_row_bytes,
                                  int dst_row_bytes, int radius_y, int radius_x);
// Bytes 0-2 of 4-byte pixels; dst byte 3 is left as it was.
[[nodiscard]] bool fast_blur_rgba(const uint8_t* src, uint8_t* dst, int width, int height, int src_row_bytes,
                                  int dst_row_bytes, int radius_y, int radius_x);
// One-byte-per-pixel planes.
[[nodiscard]] bool fast_blur_mono(const uint8_t* src, uint8_t* dst, int width, int height, int src_row_bytes,
                                  int dst_row_bytes, int radius_y, int radius_x);

// Edge map: 255 - min(|Sobel / 2| of red + green + blue, 255), so 255 on flat areas and 0 on
// strong edges. The ARGB form reads src bytes 1-3 and writes dst byte 0 of every pixel, both with
// src's row bytes; a neighbour outside the image counts as the centre pixel.
[[nodiscard]] bool edges_detection_argb_to_alpha_channel(const uint8_t* src, uint8_t* dst, int width,
                                                         int height, int row_bytes);
// In place: reads bytes 0-2, writes byte 3. Pixels of the outermost rows and columns get 255.
[[nodiscard]] bool edges_detection_rgba_to_alpha_channel(uint8_t* buffer, int width, int height,
                                                         int row_bytes);

// Soft edge mask: the edge map of src box-blurred into dst bytes 1-3, dst byte 0 set to 255.
// The edge map treats every row's last pixel as a copy of the one before it; src is only read.
// dst must hold height rows of both row lengths (the edge map is laid out with src's).
[[nodiscard]] bool fast_blur_ed_argb(const uint8_t* src, uint8_t* dst, int width, int height,
                                     int src_row_bytes, int dst_row_bytes, int radius_y, int radius_x);
// The same in RGBA terms: the edge map goes to src byte 3 (src's colour bytes stay as they were),
// the mask to dst bytes 0-2, dst byte 3 becomes 255.
[[nodiscard]] bool fast_blur_ed_rgba(uint8_t* src, uint8_t* dst, int width, int height, int src_row_bytes,
                                     int dst_row_bytes, int radius_y, int radius_x);
// As fast_blur_ed_argb with gaussianBlur (rows of 4 x width bytes) in place of the box blur; the
// two radii are ignored. With step above 1 only every step-th row and column of dst byte 1 is
// blurred; bytes 2 and 3 of every pixel copy byte 1 all the same.
[[nodiscard]] bool fast_blur_ed_argb_gaussian(const uint8_t* src, uint8_t* dst, int width, int height,
                                              int src_row_bytes, int dst_row_bytes, int radius_y,
                                              int radius_x, const float* kernel, int kernel_size, int step);
