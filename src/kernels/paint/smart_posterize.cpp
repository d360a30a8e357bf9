#include "kernels/paint/smart_posterize.h"

#include "kernels/blur/fast_blur.h"
#include "kernels/regions/flood_fill.h"
#include "platform/graphics/ParallelRows.h"

#include <algorithm>
#include <climits>

bool smart_posterize(const uint8_t* src, uint8_t* dst, int width, int height, int levels, int blur,
                     int contrast) {
    if (!src || !dst || width <= 0 || height <= 0 || width > INT_MAX / 4) return false;
    const int row_bytes = width * 4;
    const int step = std::max(1, levels);
    const int radius = std::max(0, blur - 1);
    if (!fast_blur_argb(src, dst, width, height, row_bytes, row_bytes, radius, radius)) return false;

    // Alpha 0 marks the pixels no area has claimed yet.
    // Every byte maps through one table.
    uint8_t quantised[256];
    for (int b = 0; b < 256; ++b) {
        // 64 bits: any gain a caller passes stays exact before the clamp.
        const int64_t v = ((int64_t(b) - 128) * contrast + 32768) >> 8;
        const int q = int(std::clamp<int64_t>(v, 0, 255));
        quantised[b] = uint8_t(q - q % step);
    }
    graphics::parallelRows(height, size_t(width), [&](int first, int end) {
        uint8_t* p = dst + size_t(first) * size_t(row_bytes);
        for (size_t k = size_t(end - first) * size_t(width); k > 0; --k, p += 4) {
            p[0] = 0;
            p[1] = quantised[p[1]];
            p[2] = quantised[p[2]];
            p[3] = quantised[p[3]];
        }
    });

    // Scan order decides where each area is seeded; the fills paint it with alpha 2.
    for (int y = 0; y < height; ++y) {
        if (graphics::workCancelled()) return false;
        for (int x = 0; x < width; ++x)
            if (dst[(size_t(y) * size_t(width) + size_t(x)) * 4] == 0 &&
                !flood_fill_average(src, dst, width, height, row_bytes, row_bytes, x, y))
                return false;
    }
    return true;
}
