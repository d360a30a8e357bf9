#pragma once
// Three-screen colour halftone: on a white sheet, round dots per colour channel, each channel
// on its own rotated dot lattice (red 15 degrees, green 75, blue 0), each dot as large as the
// channel is dark in the source around it. A dot on a channel removes that channel only, so
// the channels are printed independently of each other.
#include <cstdint>

// src and dst: separate width x height buffers of 4-byte pixels (byte 0 alpha, bytes 1, 2, 3
// red, green, blue), rows of exactly 4 x width bytes. size is the dot cell's half-width in
// pixels; below 1 it counts as 1. rim is the width in pixels of the edge over which a dot's ink
// fades in (more than 0): 2 at full size, scaled with size in a reduced copy. Overwrites dst's colour bytes;
// neither alpha byte is read, and dst's alpha bytes keep whatever the caller put there. False for
// no picture or when memory ran out: dst is then not to be used.
[[nodiscard]] bool color_halftone(const uint8_t* src, uint8_t* dst, int width, int height, float size,
                                  float rim = 2.0f);
