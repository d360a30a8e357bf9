#pragma once
// Texture records: heap-allocated 4-byte-per-pixel images that effects keep between their
// preparation step and their per-pixel step. Rows are exactly 4 x width bytes.
#include <cstdint>

struct texture_t {
    uint8_t* data;
    int32_t width;
    int32_t height;
    int32_t bytes_per_pixel; // always 4
};

// New record with an uninitialised buffer; the bytes-per-pixel argument is ignored.
texture_t* tex_create_empty(int width, int height, int bytes_per_pixel);
// Frees the pixel buffer, then the record. Null is allowed.
void tex_free(texture_t* tex);
