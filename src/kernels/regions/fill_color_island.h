#pragma once
// Colour islands: segments an image into an island around a point and the rest by competing
// region labels, and writes the island as a mask. The module keeps its cell table between
// calls, so repeated calls on the same image refine the same segmentation; a call with
// another image size starts a fresh table. Not safe to call from two threads at once.
#include <cstdint>

// data: width x height pixels of 4 bytes (byte 0 alpha, then red, green, blue), rows of
// row_bytes >= 4 x width bytes. Stamps an island disc of radius 10 at (x, y), cells near
// the border being background, relaxes the labels by colour distance, then overwrites all
// four bytes of every pixel with 255 on the island and 0 elsewhere. Prints its progress on
// standard output. Invalid sizes or a null buffer leave everything unchanged.
void fill_color_island(uint8_t* data, int width, int height, int row_bytes, int x, int y);
// The body of fill_color_island; the four trailing values are not used.
void _fill_color_island(uint8_t* data, int width, int height, int row_bytes, int x, int y, float, float,
                        float, float);

// Hue (0..1), saturation and value of a colour given as r, g, b in 0..1. A grey has hue and
// saturation 0.
void RGBtoHSV(float r, float g, float b, float* h, float* s, float* v);
