#pragma once
// The four 256-bin tables behind the levels control: luminance, red, green and blue counts of a
// picture, each bin stopping at w x h x 5 / 256 so one flat colour cannot dwarf the rest.
#include "platform/graphics/Image.h"

#include <array>
#include <cstddef>
#include <cstdint>

struct HistogramTables {
    using Table = std::array<uint64_t, 256>;
    Table luminance{}, red{}, green{}, blue{};

    // The largest count a bin may reach for a picture of w x h pixels.
    static uint64_t capForSize(int width, int height);

    // Counts X,R,G,B rows (the alpha byte is ignored). Luminance is 0.3 R + 0.59 G + 0.11 B in
    // single precision, truncated.
    void count(const uint8_t* xrgb, int width, int height, size_t rowBytes) {
        count(xrgb, width, height, rowBytes, 1, 2, 3);
    }
    // The same over 4-byte pixels with the colour bytes at the given offsets.
    void count(const uint8_t* pixels, int width, int height, size_t rowBytes, int rOffset, int gOffset,
               int bOffset);

    // Draws the picture into an 8-bit X,R,G,B buffer and counts it; false (tables zeroed) when the
    // picture is missing or the buffer cannot be made.
    bool build(const graphics::ImagePtr& image);
};
