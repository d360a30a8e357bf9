#pragma once
// Stamps a solid colour through a brush mask into an ARGB destination (the oil paint filter's
// strokes). The brush's byte 1 is its coverage: 0 paints fully, 255 not at all. The destination's
// byte 0 is never written; pixels of the stamp outside the destination are skipped.
#include <cstdint>

void draw_image(const uint8_t* brush, uint8_t* dest, int brush_width, int brush_height, int dest_width,
                int dest_height, int brush_row_bytes, int dest_row_bytes, int x, int y, int red, int green,
                int blue);
