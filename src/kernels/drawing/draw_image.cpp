#include "kernels/drawing/draw_image.h"

#include <algorithm>
#include <cstddef>

void draw_image(const uint8_t* brush, uint8_t* dest, int brush_width, int brush_height, int dest_width,
                int dest_height, int brush_row_bytes, int dest_row_bytes, int x, int y, int red, int green,
                int blue) {
    // Brush rows and columns whose destination lies inside it.
    const int64_t j0 = std::max<int64_t>(0, -int64_t(y));
    const int64_t j1 = std::min<int64_t>(brush_height, int64_t(dest_height) - y);
    const int64_t i0 = std::max<int64_t>(0, -int64_t(x));
    const int64_t i1 = std::min<int64_t>(brush_width, int64_t(dest_width) - x);
    const int colour[3] = {red, green, blue};
    for (int64_t j = j0; j < j1; ++j) {
        const uint8_t* b = brush + ptrdiff_t(j) * brush_row_bytes + ptrdiff_t(i0) * 4 + 1;
        uint8_t* d = dest + ptrdiff_t(y + j) * dest_row_bytes + ptrdiff_t(x + i0) * 4 + 1;
        for (int64_t i = i0; i < i1; ++i, b += 4, d += 4) {
            const int a = *b;
            const int inverse = 255 - a;
            if (inverse < 11) continue;
            for (int c = 0; c < 3; ++c)
                d[c] = uint8_t(inverse > 244 ? colour[c] : (d[c] * a + colour[c] * inverse) >> 8);
        }
    }
}
