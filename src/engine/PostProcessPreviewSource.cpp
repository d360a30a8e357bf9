// The area-averaged working image that preview runs sample.
#include "engine/PostProcess.h"

#include "platform/graphics/ParallelRows.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <vector>

namespace {

struct AveragedCopy {
    uint8_t* data = nullptr;
    int32_t step = 0;
    uint64_t generation = 0;
};

// One copy for the thumbnails' step and one for the previews': the browser and the editor take
// turns with them.
AveragedCopy g_copies[2];
size_t g_next_slot = 0;
std::mutex g_copies_lock;

void averageBlocks(const uint8_t* src, uint8_t* dst, int32_t w, int32_t h, int32_t step) {
    graphics::parallelRows(h, size_t(w) * size_t(step), [&](int32_t y0, int32_t y1) {
        std::vector<uint32_t> column(size_t(w) * 3);
        // Column sums over the block's rows, slid down a row at a time rather than summed anew.
        const auto add_row = [&](int32_t row, bool subtract) {
            const uint8_t* p = src + size_t(row) * size_t(w) * 4;
            for (int32_t x = 0; x < w; ++x)
                for (int c = 0; c < 3; ++c) {
                    uint32_t& s = column[size_t(x) * 3 + size_t(c)];
                    const uint32_t v = p[size_t(x) * 4 + 1 + size_t(c)];
                    s = subtract ? s - v : s + v;
                }
        };
        for (int32_t j = y0; j < std::min(y0 + step, h); ++j)
            add_row(j, false);
        for (int32_t y = y0; y < y1; ++y) {
            const int32_t rows = std::min(step, h - y);
            if (y > y0) {
                add_row(y - 1, true);
                if (y - 1 + step < h) add_row(y - 1 + step, false);
            }
            // A running sum along the row over the column sums of the block's rows.
            uint32_t sum[3] = {0, 0, 0};
            for (int32_t x = 0; x < std::min(step, w); ++x)
                for (int c = 0; c < 3; ++c)
                    sum[c] += column[size_t(x) * 3 + size_t(c)];
            uint8_t* out = dst + size_t(y) * size_t(w) * 4;
            const uint8_t* in = src + size_t(y) * size_t(w) * 4;
            for (int32_t x = 0; x < w; ++x) {
                const uint32_t n = uint32_t(rows) * uint32_t(std::min(step, w - x));
                out[size_t(x) * 4] = in[size_t(x) * 4];
                for (int c = 0; c < 3; ++c) {
                    out[size_t(x) * 4 + 1 + size_t(c)] = uint8_t((sum[c] + n / 2) / n);
                    sum[c] -= column[size_t(x) * 3 + size_t(c)];
                    if (x + step < w) sum[c] += column[size_t(x + step) * 3 + size_t(c)];
                }
            }
        }
    });
}

} // namespace

uint8_t* PostProcess::preview_source_data(int32_t step) {
    uint8_t* const sharp = sharp_data();
    if (!sharp || step <= 1) return sharp;
    std::lock_guard guard(g_copies_lock);
    for (AveragedCopy& copy : g_copies)
        if (copy.data && copy.step == step && copy.generation == g_data_generation) return copy.data;
    AveragedCopy& slot = g_copies[g_next_slot];
    g_next_slot = (g_next_slot + 1) % std::size(g_copies);
    std::free(slot.data);
    slot = {};
    auto* data = static_cast<uint8_t*>(std::malloc(size_t(g_width) * size_t(g_height) * 4));
    if (!data) return nullptr;
    averageBlocks(sharp, data, g_width, g_height, step);
    slot = {data, step, g_data_generation};
    return data;
}

void PostProcess::release_preview_sources() {
    std::lock_guard guard(g_copies_lock);
    for (AveragedCopy& copy : g_copies) {
        std::free(copy.data);
        copy = {};
    }
}
