#pragma once
// Variable-radius box blurs for focus effects: sharp near a centre (radial) or a row
// (vertical), blurrier with distance, up to `limit` pixels. src and dst are different buffers
// of the same size, 4 bytes a pixel; only the three colour bytes of dst are written.
// Widths and heights below 1 do nothing.
#include <cstdint>

void blur_radial_argb(const uint8_t* src, uint8_t* dst, int width, int height, int src_row_bytes,
                      int dst_row_bytes, int center_x, int center_y, int limit, int sharp);
void blur_radial_rgba(const uint8_t* src, uint8_t* dst, int width, int height, int src_row_bytes,
                      int dst_row_bytes, int center_x, int center_y, int limit, int sharp);
void blur_vertical_argb(const uint8_t* src, uint8_t* dst, int width, int height, int src_row_bytes,
                        int dst_row_bytes, int center_y, int limit, int sharp);
void blur_vertical_rgba(const uint8_t* src, uint8_t* dst, int width, int height, int src_row_bytes,
                        int dst_row_bytes, int center_y, int limit, int sharp);
