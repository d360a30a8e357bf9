#include "kernels/drawing/area_resample.h"

#include "platform/graphics/ParallelRows.h"

#include <algorithm>
#include <atomic>
#include <new>
#include <vector>

namespace {

// For each output position along one axis: the first source pixel it covers and the weights of it
// and the ones after, summing to 1.
struct Span {
    int first = 0;
    std::vector<float> weights;
};

std::vector<Span> spans(int n, int m) {
    std::vector<Span> out(static_cast<size_t>(m));
    const double scale = double(n) / double(m);
    for (int o = 0; o < m; ++o) {
        const double lo = o * scale, hi = std::min(double(n), (o + 1) * scale);
        Span& span = out[size_t(o)];
        span.first = int(lo);
        for (int s = span.first; s < n && s < hi; ++s) {
            const double cover = std::min(hi, double(s + 1)) - std::max(lo, double(s));
            span.weights.push_back(float(std::max(0.0, cover) / (hi - lo)));
        }
    }
    return out;
}

} // namespace

bool area_resample(const uint8_t* src, int src_w, int src_h, uint8_t* dst, int dst_w, int dst_h) {
    if (!src || !dst || src_w <= 0 || src_h <= 0 || dst_w <= 0 || dst_h <= 0) return false;
    std::vector<Span> across, down;
    try {
        across = spans(src_w, dst_w);
        down = spans(src_h, dst_h);
    } catch (const std::bad_alloc&) {
        return false;
    }
    std::atomic<bool> complete{true};
    graphics::parallelRows(dst_h, size_t(dst_w) * size_t(src_h / dst_h + 1), [&](int y0, int y1) {
        std::vector<float> row;
        try {
            row.resize(size_t(src_w) * 3);
        } catch (const std::bad_alloc&) {
            complete = false;
            return;
        }
        for (int y = y0; y < y1; ++y) {
            // The source rows under this output row, weighed, then each output pixel's columns.
            std::fill(row.begin(), row.end(), 0.0f);
            const Span& rows = down[size_t(y)];
            for (size_t j = 0; j < rows.weights.size(); ++j) {
                const uint8_t* p = src + size_t(rows.first + int(j)) * size_t(src_w) * 4;
                const float wy = rows.weights[j];
                for (int x = 0; x < src_w; ++x)
                    for (int c = 0; c < 3; ++c)
                        row[size_t(x) * 3 + size_t(c)] += wy * float(p[size_t(x) * 4 + 1 + size_t(c)]);
            }
            uint8_t* out = dst + size_t(y) * size_t(dst_w) * 4;
            for (int x = 0; x < dst_w; ++x) {
                const Span& cols = across[size_t(x)];
                float sum[3] = {0, 0, 0};
                for (size_t i = 0; i < cols.weights.size(); ++i)
                    for (int c = 0; c < 3; ++c)
                        sum[c] += cols.weights[i] * row[size_t(cols.first + int(i)) * 3 + size_t(c)];
                out[size_t(x) * 4] = 0;
                for (int c = 0; c < 3; ++c)
                    out[size_t(x) * 4 + 1 + size_t(c)] = uint8_t(std::clamp(sum[c] + 0.5f, 0.0f, 255.0f));
            }
        }
    });
    return complete.load();
}
