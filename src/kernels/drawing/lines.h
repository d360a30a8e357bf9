#pragma once
// Line toolkit over caller-owned 4-byte-per-pixel buffers: clipped Bresenham lines, line
// equations in implicit and normal form, and quadrilateral scan conversion. Pixel (x, y)
// starts at byte x * 4 + y * row_bytes; byte 0 is alpha, bytes 1, 2, 3 red, green, blue.
#include <cstdint>

// Bresenham line from (x0, y0) to (x1, y1), both ends included; the major axis is y only when
// |dx| < |dy|. Pixels outside 0..width-1 x 0..height-1 are skipped and the line goes on, so a
// line that leaves and re-enters the buffer is drawn in its visible parts; nothing outside the
// buffer is touched. draw_line_alpha writes the low byte of value into byte 0 only.
void draw_line_alpha(uint8_t* data, int width, int height, int row_bytes, int x0, int y0, int x1, int y1,
                     uint32_t value);
// The same line, writing value as the whole 32-bit pixel (memory byte order).
void draw_line(uint8_t* data, int width, int height, int row_bytes, int x0, int y0, int x1, int y1,
               uint32_t value);

// Intersection of a1 x + b1 y + c1 = 0 and a2 x + b2 y + c2 = 0. Returns 0 for parallel lines
// (outputs untouched), else 1.
int intersect(float* x, float* y, float a1, float b1, float c1, float a2, float b2, float c2);
// True when the two equations are nearly proportional (coefficient ratios within 1.0).
bool equivalent(float a1, float b1, float c1, float a2, float b2, float c2);
// Signed distance of (x, y) from the line x cos(theta) + y sin(theta) = rho, theta in radians.
float dist_to_line(float theta, float rho, float x, float y);
// End points of the line in normal form (theta in degrees, rho measured from the image centre)
// on a frame one image size larger than the image on every side. Returns 1 and writes both
// ends when the line crosses the frame at two points, else 0 with the outputs untouched.
int intersect_line_rect(float theta, float rho, float width, float height, float* x0, float* y0, float* x1,
                        float* y1);

// Walks the Bresenham line from (x0, row0) to (x1, row1) and, for every row it visits, lowers
// min[row] and raises max[row] to x. The tables are indexed by row directly: callers pass
// pointers into larger tables when rows may be negative.
void MinMaxLine(int* min, int* max, int x0, int row0, int x1, int row1);

// Sum of a one-byte-per-pixel buffer over the quadrilateral (x0, y0) .. (x3, y3) (vertices in
// order). Vertex rows are clamped to -height .. 2 height - 1.
uint64_t get_quadr_brightness(const uint8_t* data, int width, int height, int row_bytes, int x0, int y0,
                              int x1, int y1, int x2, int y2, int x3, int y3);
// Sets byte 2 of every pixel inside the same quadrilateral to 255, with the same clamping.
void fill_quadr(uint8_t* data, int width, int height, int row_bytes, int x0, int y0, int x1, int y1, int x2,
                int y2, int x3, int y3);
