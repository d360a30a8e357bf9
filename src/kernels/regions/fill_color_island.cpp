#include "kernels/regions/fill_color_island.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <new>
#include <vector>

namespace {

constexpr uint32_t kFree = 0;
constexpr uint32_t kBackground = 1;
constexpr uint32_t kIsland = 2;
constexpr int kIslandRadius = 10;
constexpr float kLargestDistance = 441.67294f; // sqrt(3) * 255

struct Cell {
    float strength;
    uint32_t label;
};

// The segmentation kept from one call to the next, with the size it was made for.
struct IslandTable {
    int width = 0;
    int height = 0;
    std::vector<Cell> cells;
};

IslandTable g_table;

void reset_table(int width, int height) {
    g_table.width = width;
    g_table.height = height;
    g_table.cells.resize(size_t(width) * size_t(height));
    for (int row = 0; row < height; ++row) {
        for (int col = 0; col < width; ++col) {
            const bool border = col < 11 || col >= width - 10 || row < 11 || row >= height - 10;
            g_table.cells[size_t(row) * size_t(width) + size_t(col)] =
                border ? Cell{1.0f, kBackground} : Cell{0.0f, kFree};
        }
    }
}

void stamp_island(int x, int y) {
    const int64_t r = kIslandRadius;
    const int64_t row0 = std::max<int64_t>(int64_t(y) - r, 0);
    const int64_t row1 = std::min<int64_t>(int64_t(y) + r, g_table.height - 1);
    const int64_t col0 = std::max<int64_t>(int64_t(x) - r, 0);
    const int64_t col1 = std::min<int64_t>(int64_t(x) + r, g_table.width - 1);
    for (int64_t row = row0; row <= row1; ++row) {
        for (int64_t col = col0; col <= col1; ++col) {
            const int64_t dx = col - x, dy = row - y;
            if (dx * dx + dy * dy <= r * r)
                g_table.cells[size_t(row) * size_t(g_table.width) + size_t(col)] = {1.0f, kIsland};
        }
    }
}

} // namespace

void fill_color_island(uint8_t* data, int width, int height, int row_bytes, int x, int y) {
    _fill_color_island(data, width, height, row_bytes, x, y, 0, 0, 0, 0);
}

void _fill_color_island(uint8_t* data, int width, int height, int row_bytes, int x, int y, float, float,
                        float, float) {
    if (!data || width <= 0 || height <= 0 || int64_t(row_bytes) < int64_t(width) * 4) return;
    const size_t w = size_t(width);
    const size_t count = w * size_t(height);
    // Cells are listed by 32-bit index.
    if (count > UINT32_MAX) {
        std::fprintf(stderr, "fill_color_island: image too large: %dx%d\n", width, height);
        return;
    }
    std::printf("%f %f\n", double(x), double(y));

    std::vector<Cell> next;
    std::vector<uint32_t> active, next_active;
    std::vector<int64_t> queued; // the last round that listed each cell
    std::vector<bool> relaxable; // free when the call began
    try {
        // A table kept for another size would be indexed out of bounds: start afresh.
        if (g_table.width != width || g_table.height != height || g_table.cells.size() != count)
            reset_table(width, height);
        next.reserve(count);
        queued.assign(count, -1);
        relaxable.assign(count, false);
        active.reserve(count);
        next_active.reserve(count);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "fill_color_island: out of memory for %dx%d\n", width, height);
        g_table = IslandTable{};
        return;
    }
    stamp_island(x, y);
    std::printf("image: %dx%d\n", width, height);
    std::printf("pixels: %lld\n", static_cast<long long>(count));

    std::vector<Cell>& cur = g_table.cells;
    next = cur;
    for (size_t i = 0; i < count; ++i)
        if (cur[i].label == kFree) {
            active.push_back(uint32_t(i));
            relaxable[i] = true;
        }

    const int64_t limit = int64_t(width) + height;
    int64_t rounds = 0;
    while (rounds < limit) {
        next_active.clear();
        int changes = 0;
        for (const uint32_t p : active) {
            const int px = int(p % w), py = int(p / w);
            const uint8_t* cp = data + size_t(py) * size_t(row_bytes) + size_t(px) * 4;
            next[p] = cur[p];
            bool changed = false;
            for (int qy = std::max(py - 1, 0); qy <= std::min(py + 1, height - 1); ++qy) {
                for (int qx = std::max(px - 1, 0); qx <= std::min(px + 1, width - 1); ++qx) {
                    const size_t q = size_t(qy) * w + size_t(qx);
                    if (q == p || cur[q].label == kFree) continue;
                    const uint8_t* cq = data + size_t(qy) * size_t(row_bytes) + size_t(qx) * 4;
                    const int db = cp[3] - cq[3], dg = cp[2] - cq[2], dr = cp[1] - cq[1];
                    const float d = sqrtf(float(db * db + dg * dg + dr * dr));
                    const float force = (d / -kLargestDistance + 1.0f) * cur[q].strength;
                    // Judged against the strength the round started with: the last
                    // neighbour that beats it wins.
                    if (force > cur[p].strength) {
                        next[p] = {force, cur[q].label};
                        changed = true;
                    }
                }
            }
            if (!changed) continue;
            ++changes;
            // A changed cell can now beat its free neighbours: they are judged again next round,
            // so the labels spread over the whole island in one call rather than one ring.
            for (int qy = std::max(py - 1, 0); qy <= std::min(py + 1, height - 1); ++qy) {
                for (int qx = std::max(px - 1, 0); qx <= std::min(px + 1, width - 1); ++qx) {
                    const size_t q = size_t(qy) * w + size_t(qx);
                    if (relaxable[q] && queued[q] != rounds) {
                        queued[q] = rounds;
                        next_active.push_back(uint32_t(q));
                    }
                }
            }
        }
        if (next_active.empty()) break;
        std::printf("%d\n", changes);
        ++rounds;
        std::swap(cur, next);
        std::swap(active, next_active);
    }
    // Cells outside this round's active list agree in both buffers, so cur holds the result.
    std::printf("iterations: %lld/%lld\n", static_cast<long long>(rounds), static_cast<long long>(limit));

    for (int row = 0; row < height; ++row) {
        uint8_t* out = data + size_t(row) * size_t(row_bytes);
        for (size_t col = 0; col < w; ++col) {
            const uint8_t mask = cur[size_t(row) * w + col].label == kIsland ? 255 : 0;
            std::fill(out + col * 4, out + col * 4 + 4, mask);
        }
    }
}

void RGBtoHSV(float r, float g, float b, float* h, float* s, float* v) {
    const float max = std::max({r, g, b});
    const float delta = max - std::min({r, g, b});
    *v = max;
    if (std::fabs(delta) <= FLT_MIN) {
        *h = 0;
        *s = 0;
        return;
    }
    *s = delta / max;
    const float dr = ((max - r) / 6.0f + delta / 2.0f) / delta;
    const float dg = ((max - g) / 6.0f + delta / 2.0f) / delta;
    const float db = ((max - b) / 6.0f + delta / 2.0f) / delta;
    float hue = 0;
    if (max == r)
        hue = db - dg;
    else if (max == g)
        hue = 0.33333334f + dr - db;
    else if (max == b)
        hue = 0.6666667f + dg - dr;
    if (hue < 0) hue += 1;
    if (hue > 1) hue -= 1;
    *h = hue;
}
