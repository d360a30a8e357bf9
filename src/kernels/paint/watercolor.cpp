#include "kernels/paint/watercolor.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <vector>

namespace {

struct point_t {
    int32_t x;
    int32_t y;
    int32_t value; // the pixel's grey
};

constexpr int kRegionSize = 1000;
// Before its last round a region holds under kRegionSize pixels, so that round adds at most
// eight per pixel: reserving this much keeps every push below free of reallocation.
constexpr size_t kRegionCapacity = size_t(kRegionSize) * 9;

int grey(const uint8_t* px) {
    return (px[1] + px[2] + px[3]) / 3;
}

} // namespace

void watercolor(const uint8_t* src, uint8_t* dst, int width, int height, int threshold) {
    if (!src || !dst || width <= 0 || height <= 0) return;
    const size_t w = size_t(width);
    const size_t count_all = w * size_t(height);
    // Greater grey first: frontier points are taken from the end, darkest first.
    const auto less = [](const point_t& a, const point_t& b) { return a.value > b.value; };

    std::vector<point_t> region, frontier, next;
    try {
        region.reserve(kRegionCapacity);
        frontier.reserve(kRegionCapacity);
        next.reserve(kRegionCapacity);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "watercolor: out of memory\n");
        return;
    }

    for (size_t i = 0; i < count_all; ++i)
        dst[i * 4] = 0;

    for (int sy = 0; sy < height; ++sy) {
        for (int sx = 0; sx < width; ++sx) {
            const size_t seed = size_t(sy) * w + size_t(sx);
            if (dst[seed * 4] != 0) continue;
            const uint8_t* s = src + seed * 4;
            const int g0 = grey(s);
            int64_t sum[3] = {s[1], s[2], s[3]};
            int64_t count = 1;
            dst[seed * 4] = 1;
            region.assign(1, point_t{sx, sy, g0});
            frontier.assign(1, region.front());

            do {
                std::sort(frontier.begin(), frontier.end(), less);
                next.clear();
                while (!frontier.empty()) {
                    const point_t p = frontier.back();
                    frontier.pop_back();
                    for (int y = std::max(p.y - 1, 0); y <= std::min(p.y + 1, height - 1); ++y) {
                        for (int x = std::max(p.x - 1, 0); x <= std::min(p.x + 1, width - 1); ++x) {
                            const size_t i = size_t(y) * w + size_t(x);
                            if (dst[i * 4] != 0) continue; // the centre is always marked
                            const uint8_t* q = src + i * 4;
                            const int g = grey(q);
                            if (std::abs(g - g0) > threshold) continue;
                            dst[i * 4] = 1;
                            region.push_back(point_t{x, y, g});
                            next.push_back(region.back());
                            for (int c = 0; c < 3; ++c)
                                sum[c] += q[1 + c];
                            ++count;
                        }
                    }
                }
                std::swap(frontier, next);
            } while (count < kRegionSize && !frontier.empty());

            const uint8_t mean[3] = {uint8_t(sum[0] / count), uint8_t(sum[1] / count),
                                     uint8_t(sum[2] / count)};
            for (const point_t& p : region) {
                uint8_t* out = dst + (size_t(p.y) * w + size_t(p.x)) * 4;
                std::copy(mean, mean + 3, out + 1);
            }
        }
    }
}
