#include "engine/effects/blur/PP_TestScanner.h"

#include <algorithm>
#include <array>

namespace {

struct Sample {
    float key;
    int32_t x, y;
};

// (R + G + B) x 1/255 x 1/3 in single precision; 0 outside the image.
float brightness(int32_t x, int32_t y) {
    if (x < 0 || y < 0 || x >= PostProcess::g_width || y >= PostProcess::g_height) return 0.0f;
    const uint8_t* p = PostProcess::gp_data +
                       (size_t(y) * size_t(PostProcess::g_width) + size_t(x)) * size_t(PostProcess::g_bpp_dv);
    return float(int(p[1]) + int(p[2]) + int(p[3])) * (1.0f / 255.0f) * 0.33333334f;
}

} // namespace

pixel_t PP_TestScanner::do_median_filer_x(int32_t x, int32_t y, int32_t radius) {
    const int32_t r = std::clamp(radius, 1, kMaxRadius);
    // Per call, so that any number of pixels may be filtered at once.
    std::array<Sample, 4 * kMaxRadius * kMaxRadius> samples{};
    size_t n = 0;
    for (int32_t sy = y - r; sy < y + r; ++sy)
        for (int32_t sx = x - r; sx < x + r; ++sx)
            samples[n++] = {brightness(sx, sy), sx, sy};
    // Only the key at the middle index is defined by a full sort; partial ordering finds it.
    const auto middle = samples.begin() + ptrdiff_t(n / 2);
    std::nth_element(samples.begin(), middle, samples.begin() + ptrdiff_t(n),
                     [](const Sample& a, const Sample& b) { return a.key < b.key; });
    return get_source_pixel(middle->x, middle->y);
}

pixel_t PP_TestScanner::process_pixel_x(int32_t x, int32_t y, int32_t /*pass*/) {
    return do_median_filer_x(x, y, 5);
}
