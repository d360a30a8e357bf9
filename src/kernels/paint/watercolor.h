#pragma once
// Watercolour look: flat regions of similar grey. Regions grow from seeds taken in raster
// order over 8-connected pixels whose grey (R + G + B) / 3 lies within threshold of the
// seed's; a region stops growing after the round in which it reaches 1000 pixels. Each
// region is painted with its mean colour (bytes 1..3); byte 0 of every dst pixel ends as 1.
#include <cstdint>

// src and dst are width x height pixels of 4 bytes, rows of 4 x width bytes. Only bytes
// 1..3 of src are read.
void watercolor(const uint8_t* src, uint8_t* dst, int width, int height, int threshold);
