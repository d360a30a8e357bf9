#pragma once
// Whole-pixel rectangles for evaluation. Pixel (x, y) covers [x, x + 1) x [y, y + 1) in the
// y-up working space; its centre is (x + 0.5, y + 0.5). Coordinates are clamped to a range
// that keeps widths and areas from overflowing, which is where the infinite rectangle ends.
#include "platform/graphics/Rect.h"

#include <cstddef>

namespace coreimage {

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool isEmpty() const { return width <= 0 || height <= 0; }
    int maxX() const { return x + width; }
    int maxY() const { return y + height; }
    size_t area() const { return isEmpty() ? 0 : size_t(width) * size_t(height); }
    // Empty (zero size) when the two do not overlap.
    PixelRect intersection(const PixelRect& r) const;
    // Grown by d pixels on every side.
    PixelRect outset(int d) const;

    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// The pixels whose centres lie inside r: what an extent or a crop holds.
PixelRect pixelsInside(const graphics::Rect& r);
// The smallest pixel rectangle that holds r: what a region of interest needs.
PixelRect pixelsCovering(const graphics::Rect& r);

} // namespace coreimage
