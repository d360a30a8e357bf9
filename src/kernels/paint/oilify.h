#pragma once
// Oil-paint look: every output pixel is a weighted mean of the intensity classes (64 bins of
// BT.709 luma) found in a disc of radius trunc(size) / 2 around it, a class weighing
// (its count / the largest count)^8, so the dominant classes decide the colour. All four
// bytes of a pixel are averaged, byte 0 included. The sum of weights starts at 0.000001,
// which makes a flat area come out one level darker (v becomes v - 1, 0 stays 0).
#include <cstdint>

// src and dst are width x height pixels of 4 bytes, rows of 4 x width bytes, and must not
// overlap. A size below 2 (or not a number) uses the pixel alone. False for a missing buffer, a
// side of 0 or less, or when memory ran out: dst is then not to be used.
[[nodiscard]] bool oilify(const uint8_t* src, uint8_t* dst, int width, int height, float size);
