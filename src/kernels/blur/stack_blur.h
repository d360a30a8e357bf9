#pragma once
// Stack blur: an in-place tent-weighted blur of 32-bit pixels whose cost per pixel does not
// grow with the radius. The colour bytes 1, 2, 3 are blurred each on its own with weights
// r + 1 - |k| over offsets -r..r, first along rows, then along columns, with edge pixels
// repeated; every weighted sum is divided by (r + 1)^2 with integer division after each
// pass. Byte 0 of every pixel becomes 255.
#include <cstdint>

// Radii above this are treated as this radius: it keeps the sums inside 32 bits, the fast
// division exact and the work bounded, and by then the blur flattens any photo anyway.
constexpr int kStackBlurMaxRadius = 2048;

// A radius below 1, a null buffer or an empty image leaves the pixels unchanged.
void stack_blur(uint32_t* pixels, int width, int height, int radius);
