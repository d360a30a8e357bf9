#include "kernels/paint/oil_paint_filter.h"

#include "kernels/Random.h"
#include "kernels/blur/fast_blur.h"
#include "kernels/drawing/draw_image.h"
#include "platform/graphics/ParallelRows.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <new>
#include <vector>

namespace {

constexpr int kCopies = 4; // per brush, largest first
constexpr float kCopyFactors[kCopies] = {0.9f, 0.8f, 0.7f, 0.6f};

// A shrunken brush: rows of 4 x width bytes, coverage in byte 1.
struct Copy {
    std::vector<uint8_t> pixels;
    int width = 0;
    int height = 0;
};

using BrushTable = std::vector<std::array<Copy, kCopies>>;

// Truncation toward zero that cannot overflow: sizes and radii below zero (or NaN) are 0, and absurd
// ones stop at INT_MAX.
int truncate_size(float v) {
    if (!(v > 0.0f)) return 0;
    if (v >= 2147483648.0f) return INT_MAX;
    return int(v);
}

// Bilinear shrink of bytes 1-3. The copy's byte 0 is never read. False when the copy cannot be held.
bool shrink(const image_t& brush, float f, float scale, Copy& copy) {
    const bool usable = brush.data && brush.width > 0 && brush.height > 0;
    const int bw = usable ? brush.width : 0;
    const int bh = usable ? brush.height : 0;
    const int nw = truncate_size(float(bw) * f * scale * 0.5f);
    const int nh = truncate_size(f * float(bh) * scale * 0.5f);
    copy.width = nw;
    copy.height = nh;
    if (nw == 0 || nh == 0) return true; // stamps nothing
    // Stamps address copy rows with int row bytes.
    if (nw > INT_MAX / 4 || size_t(nh) > SIZE_MAX / (size_t(nw) * 4)) return false;
    copy.pixels.resize(size_t(nw) * 4 * size_t(nh));

    struct Column {
        int offset, next_offset; // byte offsets of the pixel and its right neighbour
        float a;
    };
    std::vector<Column> columns(static_cast<size_t>(nw));
    const float x_step = float(bw) / float(nw);
    for (int c = 0; c < nw; ++c) {
        const float t = float(c) * x_step;
        const int sx = std::clamp(int(std::floor(t)), 0, bw - 1);
        const int sx2 = sx < bw - 2 ? sx + 1 : sx;
        columns[size_t(c)] = {sx * 4, sx2 * 4, t - float(sx)};
    }

    constexpr float k = 0.003921569f;
    const float y_step = float(bh) / float(nh);
    uint8_t* out = copy.pixels.data();
    for (int r = 0; r < nh; ++r) {
        const float t = float(r) * y_step;
        const int sy = std::clamp(int(std::floor(t)), 0, bh - 1);
        const int sy2 = sy < bh - 2 ? sy + 1 : sy;
        const float ay = t - float(sy);
        const uint8_t* row = brush.data + ptrdiff_t(sy) * brush.row_bytes;
        const uint8_t* row2 = brush.data + ptrdiff_t(sy2) * brush.row_bytes;
        for (const Column& col : columns) {
            const float ax = col.a;
            for (int ch = 1; ch <= 3; ++ch) {
                const float p00 = row[col.offset + ch], p10 = row[col.next_offset + ch];
                const float p01 = row2[col.offset + ch], p11 = row2[col.next_offset + ch];
                const float v = ((p11 * k * ax + p01 * k * (1 - ax)) * ay +
                                 (p10 * k * ax + p00 * k * (1 - ax)) * (1 - ay)) *
                                255;
                out[ch] = uint8_t(int(v));
            }
            out += 4;
        }
    }
    return true;
}

// One stroke: a copy stamped centred on (x, y), both within the image, in the source's colour there.
struct Stroke {
    const Copy* copy;
    int x, y;
};

// The strokes are drawn in the order given. Threads share the canvas out in bands of rows, each
// stamping every stroke in that order clipped to its band, so every pixel sees the same sequence
// of stamps as on one thread.
void paint(const uint8_t* src, uint8_t* dst, int width, int height, int src_row_bytes, int dst_row_bytes,
           const std::vector<Stroke>& strokes) {
    graphics::parallelRows(height, size_t(width), [&](int first, int end) {
        uint8_t* band = dst + ptrdiff_t(first) * dst_row_bytes;
        for (const Stroke& s : strokes) {
            if (graphics::workCancelled()) return;
            const Copy& copy = *s.copy;
            const int top = s.y - (copy.height >> 1);
            if (top >= end || top + copy.height <= first) continue;
            const uint8_t* colour = src + ptrdiff_t(s.y) * src_row_bytes + ptrdiff_t(s.x) * 4;
            draw_image(copy.pixels.data(), band, copy.width, copy.height, width, end - first, copy.width * 4,
                       dst_row_bytes, s.x - (copy.width >> 1), top - first, colour[1], colour[2], colour[3]);
        }
    });
}

} // namespace

bool oil_paint_filter(const uint8_t* src, uint8_t* dst, int width, int height, int src_row_bytes,
                      int dst_row_bytes, const image_t* brushes, int brush_count, float scale) {
    if (!src || !dst || width <= 0 || height <= 0) return false;
    const int radius = truncate_size(10 * scale);
    if (!fast_blur_argb(src, dst, width, height, src_row_bytes, dst_row_bytes, radius, radius)) return false;
    if (!brushes || brush_count <= 0) return true;

    BrushTable table;
    try {
        table.resize(size_t(brush_count));
        for (int b = 0; b < brush_count; ++b) {
            for (int j = 0; j < kCopies; ++j) {
                if (!shrink(brushes[b], kCopyFactors[j], scale, table[size_t(b)][size_t(j)])) {
                    std::fprintf(stderr, "oil_paint_filter: brush %d too large at scale %g\n", b,
                                 double(scale));
                    return false;
                }
            }
        }
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "oil_paint_filter: out of memory for the brushes at scale %g\n", double(scale));
        return false;
    }

    const int big = std::max(table[0][0].width, 4);
    const int small = std::max(1, table[0][kCopies - 1].width / 2);
    const int quarter = big >> 2, half = big >> 1;
    std::vector<Stroke> strokes;
    const auto add = [&](const Copy& copy, int64_t x, int64_t y) {
        strokes.push_back(
            {&copy, int(std::clamp<int64_t>(x, 0, width - 1)), int(std::clamp<int64_t>(y, 0, height - 1))});
    };

    try {
        // Held whole before painting: a vector left to grow would pass through twice the list and,
        // while it moves, three times.
        const auto steps = [](int64_t end, int64_t step) { return end / step + 1; };
        strokes.reserve(size_t(steps(int64_t(height) + 2 * int64_t(small), small) *
                                   steps(int64_t(width) + 2 * int64_t(small), small) +
                               steps(int64_t(height) + big, big) * steps(int64_t(width) + big, big)));
        // Base layer: the smallest copies cover the canvas, past its edges so the borders get paint.
        for (int64_t y = 0; y <= int64_t(height) + 2 * int64_t(small); y += small) {
            for (int64_t x = 0; x <= int64_t(width) + 2 * int64_t(small); x += small) {
                const Copy& copy = table[size_t(Random::rand() % brush_count)][kCopies - 1];
                const int jx = Random::rand() % quarter;
                const int jy = Random::rand() % quarter;
                add(copy, x - jx, y - jy);
            }
        }

        // Detail layer: the mean of byte 0 over the cell's first quarter picks the copy (higher,
        // larger); a cell wholly outside the image keeps the previous choice.
        int size_index = 0;
        for (int64_t y = 0; y <= int64_t(height) + big; y += big) {
            const int64_t y_end = std::min<int64_t>(y + half, height);
            for (int64_t x = 0; x <= int64_t(width) + big; x += big) {
                const int64_t x_end = std::min<int64_t>(x + half, width);
                int64_t sum = 0;
                for (int64_t yy = y; yy < y_end; ++yy) {
                    const uint8_t* p = src + ptrdiff_t(yy) * src_row_bytes;
                    for (int64_t xx = x; xx < x_end; ++xx)
                        sum += p[xx * 4];
                }
                const int64_t count = std::max<int64_t>(0, y_end - y) * std::max<int64_t>(0, x_end - x);
                const auto& copies = table[size_t(Random::rand() % brush_count)];
                if (count > 0)
                    size_index = int(std::min<int64_t>(sum * kCopies / (count * 255), kCopies - 1));
                const int jx = Random::rand() % half;
                const int jy = Random::rand() % half;
                add(copies[size_t(kCopies - 1 - size_index)], x + half - jx, y + half - jy);
            }
        }
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "oil_paint_filter: out of memory for the strokes at scale %g\n", double(scale));
        return false;
    }
    paint(src, dst, width, height, src_row_bytes, dst_row_bytes, strokes);
    return !graphics::workCancelled();
}
