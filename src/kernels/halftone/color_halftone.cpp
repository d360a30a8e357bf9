#include "kernels/halftone/color_halftone.h"

#include "platform/graphics/ParallelRows.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <new>
#include <vector>

namespace {

// Screen angles in radians, in channel order red, green, blue.
constexpr float kScreenAngles[3] = {0.2617994f, 1.3089969f, 0.0f};

// One axis of a dot's sampling window: the in-image pixels of the samples c + k - r for
// k = 0, 1, ... below d, in order, each with its squared distance from the centre c. A sample at a
// negative position lies off the image: truncated toward zero it would land on pixel 0 a second
// time, inking the first row and column twice (a dark line along the top and left edges).
struct WindowAxis {
    std::vector<int> pixel;
    std::vector<float> sq;
    int n = 0;

    explicit WindowAxis(int cells) : pixel(size_t(cells)), sq(size_t(cells)) {}

    void place(int c, float r, int cells, int size) {
        n = 0;
        for (int k = 0; k < cells; ++k) {
            const float pos = float(c + k) - r;
            if (pos < 0.0f) continue;
            const int p = int(pos);
            if (p >= size) continue;
            const float e = float(c) - pos;
            pixel[size_t(n)] = p;
            sq[size_t(n)] = e * e;
            ++n;
        }
    }
};

// One channel's screen (offset selects the pixel byte: 1 red, 2 green, 3 blue), written only in rows
// first .. end - 1. Every dot reaching those rows prints there in lattice order, so screens of
// separate bands of rows make the screen of the whole.
void screen_channel(const uint8_t* src, uint8_t* dst, int width, int height, float r, float rim, int offset,
                    int first, int end) {
    const float d = 2 * r;
    const float inv_rim = 1.0f / rim;
    const float pitch = 0.75f * d;
    const float extent = std::sqrt(float(int64_t(width) * width + int64_t(height) * height));
    const float angle = kScreenAngles[offset - 1];
    const float cos_a = std::cos(angle), sin_a = std::sin(angle);
    const float far_x = float(width) + r, far_y = float(height) + r;
    int cells = 0; // window samples per axis: k = 0, 1, ... while k < d
    while (float(cells) < d)
        ++cells;
    WindowAxis cols(cells), rows(cells);
    const size_t row_bytes = size_t(width) * 4;
    // Dot centres whose window can reach the band; the exact test follows.
    const float low_y = std::max(-r, float(first) - float(cells) - 2.0f);
    const float high_y = std::min(far_y, float(end) + float(cells) + 2.0f);

    // Lattice positions advance by repeated addition, as the dot placement depends on it.
    std::vector<float> us;
    for (float u = -extent; u < extent; u += pitch)
        us.push_back(u);
    for (float v = -extent; v < extent; v += pitch) {
        // Neither cx nor cy decreases along a lattice row (both sines and cosines are not
        // negative), so the dots inside the image and near the band are one run of it.
        // Rounded down, not toward zero: lattice points on both sides of 0 would otherwise share
        // the first column or row, which then gets twice the dots.
        const auto cx_of = [&](float u) { return int(std::floor(u * cos_a - v * sin_a)); };
        const auto cy_of = [&](float u) { return int(std::floor(u * sin_a + v * cos_a)); };
        const auto run_begin = std::partition_point(
            us.begin(), us.end(), [&](float u) { return float(cx_of(u)) < -r || float(cy_of(u)) < low_y; });
        const auto run_end = std::partition_point(run_begin, us.end(), [&](float u) {
            return float(cx_of(u)) < far_x && float(cy_of(u)) < high_y;
        });
        for (auto it = run_begin; it != run_end; ++it) {
            const float u = *it;
            const int cx = cx_of(u);
            const int cy = cy_of(u);
            if (!(-r <= float(cx) && float(cx) < far_x && -r <= float(cy) && float(cy) < far_y)) continue;
            rows.place(cy, r, cells, height);
            bool reaches = false;
            for (int j = 0; j < rows.n; ++j)
                reaches |= rows.pixel[size_t(j)] >= first && rows.pixel[size_t(j)] < end;
            if (!reaches) continue;
            cols.place(cx, r, cells, width);
            if (cols.n == 0) continue;

            const uint8_t* channel = src + offset;
            uint64_t sum = 0;
            for (int j = 0; j < rows.n; ++j) {
                const uint8_t* line = channel + size_t(rows.pixel[size_t(j)]) * row_bytes;
                for (int i = 0; i < cols.n; ++i)
                    sum += line[size_t(cols.pixel[size_t(i)]) * 4];
            }
            const uint64_t avg = sum / (uint64_t(rows.n) * uint64_t(cols.n));
            const float radius = (255.0f - 0.5f * float(avg)) / 255.0f;
            // Samples whose squared distance exceeds this lie outside the dot however the root
            // and the division round (each is within 2^-24 of exact), so they skip both.
            const float reach = radius * r;
            const float beyond = reach * reach * 1.0001f;

            for (int j = 0; j < rows.n; ++j) {
                if (rows.pixel[size_t(j)] < first || rows.pixel[size_t(j)] >= end) continue;
                uint8_t* line = dst + offset + size_t(rows.pixel[size_t(j)]) * row_bytes;
                const float ey2 = rows.sq[size_t(j)];
                for (int i = 0; i < cols.n; ++i) {
                    const float s = cols.sq[size_t(i)] + ey2;
                    if (s > beyond) continue;
                    const float dist = std::sqrt(s) / r;
                    if (!(dist <= radius)) continue;
                    // A rim fades the ink in; deeper inside it is full.
                    const float t = (radius - dist) * r;
                    const float f = t <= rim ? 1.0f - inv_rim * t : 0.0f;
                    uint8_t& b = line[size_t(cols.pixel[size_t(i)]) * 4];
                    // The other two channels would come back unchanged from the same round
                    // trip through floats, so only this channel's byte is written.
                    b = uint8_t(float(b) * 0.003921569f * f * 255.0f);
                }
            }
        }
    }
}

} // namespace

bool color_halftone(const uint8_t* src, uint8_t* dst, int width, int height, float size, float rim) {
    if (!src || !dst || width <= 0 || height <= 0) return false;
    const size_t count = size_t(width) * size_t(height);
    for (size_t k = 0; k < count; ++k) {
        dst[k * 4 + 1] = 255;
        dst[k * 4 + 2] = 255;
        dst[k * 4 + 3] = 255;
    }
    const float r = std::max(1.0f, size);
    // Each channel reads and writes only its own byte, so the three screens run side by side, each
    // in bands of rows; within a band, overlapping dots print in lattice order.
    const int bands = std::clamp(int(graphics::parallelThreads()), 1, height);
    try {
        graphics::parallelFor(3 * bands, 1, [&](int begin, int end) {
            for (int i = begin; i < end; ++i) {
                const int band = i % bands;
                screen_channel(src, dst, width, height, r, rim, i / bands + 1,
                               int(int64_t(height) * band / bands),
                               int(int64_t(height) * (band + 1) / bands));
            }
        });
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "color halftone: out of memory for a dot window\n");
        return false;
    }
    return true;
}
