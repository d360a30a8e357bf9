#include "kernels/regions/flood_fill.h"

#include <bit>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

// Pixel values are read in memory byte order: the alpha byte is the low byte.
static_assert(std::endian::native == std::endian::little);

uint32_t CPixelProcessorBase::getPixel(int px, int py) const {
    if (px < 0 || py < 0 || px >= width || py >= height) return 0;
    uint32_t v;
    std::memcpy(&v, data + size_t(py) * size_t(row_bytes) + size_t(px) * 4, 4);
    return v;
}

void CPixelProcessorBase::putPixel(int px, int py) {
    if (px < 0 || py < 0 || px >= width || py >= height) return;
    std::memcpy(data + size_t(py) * size_t(row_bytes) + size_t(px) * 4, &value, 4);
}

void CPixelProcessorAveragedCollect::putPixel(int px, int py) {
    if (px < 0 || py < 0 || px >= width || py >= height) return;
    const uint8_t* s = src + size_t(py) * size_t(src_row_bytes) + size_t(px) * 4;
    sum_red += s[1];
    sum_green += s[2];
    sum_blue += s[3];
    ++count;
    data[size_t(py) * size_t(row_bytes) + size_t(px) * 4] = 1;
}

namespace {

// The run l..r of row y + dy, whose parent run lies in row y.
struct Segment {
    int y, l, r, dy;
};

} // namespace

template <class Processor, class Pixel> bool CFloodFill<Processor, Pixel>::process(Processor& p) {
    const int seed_x = p.x, seed_y = p.y;
    const Pixel old = p.getPixel(seed_x, seed_y);
    if (seed_x < 0 || seed_y < 0 || seed_x > p.width - 1 || seed_y > p.height - 1) return true;
    // A put that leaves the value as it was would meet the same pixels again and again.
    if (!p.changes(old)) return true;

    const int height = p.height, last_x = p.width - 1;
    std::vector<Segment> stack;
    auto push = [&](int y, int l, int r, int dy) {
        if (y + dy >= 0 && y + dy < height) stack.push_back({y, l, r, dy});
    };
    try {
        push(seed_y, seed_x, seed_x, 1);
        push(seed_y + 1, seed_x, seed_x, -1);
        while (!stack.empty()) {
            const Segment s = stack.back();
            stack.pop_back();
            const int dy = s.dy, y = s.y + dy, x1 = s.l, x2 = s.r;

            int x = x1;
            while (x >= 0 && p.getPixel(x, y) == old) {
                p.putPixel(x, y);
                --x;
            }
            // Whether a run starting at l is open at x; none when x1 itself was not old.
            bool open = x < x1;
            int l = x + 1;
            if (open) {
                if (l < x1) push(y, l, x1 - 1, -dy); // leak back toward the parent row
                x = x1 + 1;
            }
            do {
                if (open) {
                    while (x <= last_x && p.getPixel(x, y) == old) {
                        p.putPixel(x, y);
                        ++x;
                    }
                    push(y, l, x - 1, dy);
                    if (x > x2 + 1) push(y, x2 + 1, x - 1, -dy); // leak past the parent's end
                }
                for (++x; x <= x2 && p.getPixel(x, y) != old; ++x) {
                }
                l = x;
                open = true;
            } while (x <= x2);
        }
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "flood_fill: out of memory for the segment stack\n");
        return false;
    }
    return true;
}

template struct CFloodFill<CPixelProcessorBase, unsigned>;
template struct CFloodFill<CPixelProcessorAveragedCollect, unsigned>;

bool flood_fill(uint8_t* data, int width, int height, int row_bytes, int x, int y, uint32_t value) {
    if (!data) return true;
    CPixelProcessorBase fill;
    fill.data = data;
    fill.width = width;
    fill.height = height;
    fill.row_bytes = row_bytes;
    fill.x = x;
    fill.y = y;
    fill.value = value;
    return CFloodFill<CPixelProcessorBase, unsigned>::process(fill);
}

bool flood_fill_average(const uint8_t* src, uint8_t* dst, int width, int height, int src_row_bytes,
                        int dst_row_bytes, int x, int y) {
    if (!src || !dst) return true;
    CPixelProcessorAveragedCollect collect;
    collect.data = dst;
    collect.width = width;
    collect.height = height;
    collect.row_bytes = dst_row_bytes;
    collect.x = x;
    collect.y = y;
    collect.value = 0xFFFFFFFFu;
    collect.src = src;
    collect.src_row_bytes = src_row_bytes;
    if (!CFloodFill<CPixelProcessorAveragedCollect, unsigned>::process(collect)) return false;
    if (collect.count == 0) return true; // seed outside, or already collected

    const uint32_t red = uint32_t(collect.sum_red / collect.count);
    const uint32_t green = uint32_t(collect.sum_green / collect.count);
    const uint32_t blue = uint32_t(collect.sum_blue / collect.count);
    return flood_fill(dst, width, height, dst_row_bytes, x, y, 2u | red << 8 | green << 16 | blue << 24);
}
