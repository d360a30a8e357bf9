#pragma once
// Resample a quadrilateral of a width x height source onto a width x height rectangle, nearest
// texel. Corners: (x0, y0) top-left, (x1, y1) bottom-left, (x2, y2) bottom-right, (x3, y3)
// top-right. Source rows are source_row_bytes long; output rows are width pixels, contiguous.
// Points that fall outside the source give the fill pixel. The sixth argument is unused.
#include <cstdint>

void quad2rect(const uint32_t* src, uint32_t* dst, int width, int height, int source_row_bytes, int unused,
               uint32_t fill, float x0, float y0, float x1, float y1, float x2, float y2, float x3, float y3);
// The same over integer corners, in exact integer arithmetic for any size.
void quad2rect_i(const uint32_t* src, uint32_t* dst, int width, int height, int source_row_bytes, int unused,
                 uint32_t fill, int x0, int y0, int x1, int y1, int x2, int y2, int x3, int y3);
