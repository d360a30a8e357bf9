#pragma once
// Flood fill over caller-owned 4-byte-per-pixel buffers: fills the 4-connected area of pixels
// whose whole 32-bit value (memory byte order, alpha byte included) equals the seed pixel's.
// Pixel (x, y) starts at byte x * 4 + y * row_bytes. The fill is a segment-stack scanline
// fill whose stack grows as needed: any area fills completely, at any image size.
#include <cstdint>

// Fill record of the base processor: compares and writes pixels of data; the window is
// columns 0..width-1 and rows 0..height-1.
struct CPixelProcessorBase {
    uint8_t* data = nullptr;
    int width = 0, height = 0;
    int row_bytes = 0;
    int x = 0, y = 0;   // seed
    uint32_t value = 0; // what putPixel writes

    // The pixel value at (x, y), 0 outside the window.
    uint32_t getPixel(int px, int py) const;
    void putPixel(int px, int py);
    // Whether putting a pixel of value old changes it; a fill that would not stops at once.
    bool changes(uint32_t old) const { return value != old; }
};

// Collects an area instead of painting it: sums the colour bytes 1, 2, 3 of the source pixels
// under it, counts them, and marks each destination pixel with alpha 1 (colour kept).
struct CPixelProcessorAveragedCollect : CPixelProcessorBase {
    uint64_t sum_red = 0, sum_green = 0, sum_blue = 0, count = 0;
    const uint8_t* src = nullptr;
    int src_row_bytes = 0;

    void putPixel(int px, int py);
    bool changes(uint32_t old) const { return (old & 0xFF) != 1; }
};

// The fill engine over a processor's record, for the pixel type Pixel (32-bit unsigned).
// A seed outside the window fills nothing. Reports on standard error and stops, with the
// area partly filled, only when memory for its stack runs out: the answer is then false, as it is
// from the fills below.
template <class Processor, class Pixel> struct CFloodFill {
    [[nodiscard]] static bool process(Processor& processor);
};
extern template struct CFloodFill<CPixelProcessorBase, unsigned>;
extern template struct CFloodFill<CPixelProcessorAveragedCollect, unsigned>;

// Fills the area around (x, y) with value. A value equal to the seed's changes nothing.
[[nodiscard]] bool flood_fill(uint8_t* data, int width, int height, int row_bytes, int x, int y,
                              uint32_t value);

// Collects the area around (x, y) of dst (marking it alpha 1), then paints it with alpha 2 and
// the truncated mean of the src colours under it: byte 1 the red mean, 2 green, 3 blue. A seed
// whose alpha is already 1 is left alone.
[[nodiscard]] bool flood_fill_average(const uint8_t* src, uint8_t* dst, int width, int height,
                                      int src_row_bytes, int dst_row_bytes, int x, int y);
