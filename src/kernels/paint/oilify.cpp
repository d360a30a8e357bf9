#include "kernels/paint/oilify.h"

#include "platform/graphics/ParallelRows.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cmath>
#include <cstdio>
#include <memory>
#include <new>
#include <vector>

namespace {

constexpr int kBins = 64;

// The intensity classes of the disc. Sums are 64-bit: a large disc on a large image can
// hold more than 2^31 / 255 pixels of one class. Counts sit apart so the largest is found
// in one vectorised pass.
struct Histogram {
    int32_t count[kBins];
    int64_t sum[kBins][4];
    // powf of count / most, remembered per count while `most` stays the same: neighbouring
    // pixels share most of their counts. Counts past the cache are computed each time.
    static constexpr int32_t kCached = 1024;
    float weight[kCached];
    int32_t weight_most[kCached];

    void clear() {
        std::fill(std::begin(count), std::end(count), 0);
        std::fill(&sum[0][0], &sum[0][0] + kBins * 4, int64_t(0));
        std::fill(std::begin(weight_most), std::end(weight_most), 0);
    }

    void add(const uint8_t* px, uint8_t bin) {
        ++count[bin];
        for (int c = 0; c < 4; ++c)
            sum[bin][c] += px[c];
    }

    void remove(const uint8_t* px, uint8_t bin) {
        --count[bin];
        for (int c = 0; c < 4; ++c)
            sum[bin][c] -= px[c];
    }

    float weight_of(int32_t n, int32_t most) {
        if (n >= kCached) return powf(float(n) / float(most), 8.0f);
        if (weight_most[n] != most) {
            weight[n] = powf(float(n) / float(most), 8.0f);
            weight_most[n] = most;
        }
        return weight[n];
    }

    void write(uint8_t* out) {
        int32_t most = 1;
        for (int32_t n : count)
            most = std::max(most, n);
        float total = 0.000001f;
        float acc[4] = {0, 0, 0, 0};
        for (int k = 0; k < kBins; ++k) {
            // An empty class weighs exactly 0 and changes nothing.
            if (count[k] == 0) continue;
            const float w = weight_of(count[k], most);
            total += w;
            for (int c = 0; c < 4; ++c)
                acc[c] += float(sum[k][c]) * w / float(count[k]);
        }
        for (int c = 0; c < 4; ++c) {
            const float v = std::trunc(acc[c] / total);
            out[c] = uint8_t(std::clamp(v, 0.0f, 255.0f));
        }
    }
};

// The disc radius; past width + height the disc already covers the whole image, so larger
// sizes are capped there without changing the result.
int64_t disc_radius(float size, int width, int height) {
    const int64_t cover = int64_t(width) + height;
    if (!(size >= 2.0f)) return 0;
    if (double(size) >= 2.0 * double(cover)) return cover;
    return int64_t(size) / 2;
}

} // namespace

bool oilify(const uint8_t* src, uint8_t* dst, int width, int height, float size) {
    if (!src || !dst || width <= 0 || height <= 0) return false;
    const int64_t r = disc_radius(size, width, height);
    const size_t w = size_t(width);
    // Class counts are 32-bit.
    if (int64_t(width) * height > INT32_MAX) {
        std::fprintf(stderr, "oilify: image too large: %dx%d\n", width, height);
        return false;
    }

    // The class of every source pixel the discs read. A small disc keeps the rows it spans in a
    // ring per band of rows, so no image-sized table is held; a disc about as tall as the image
    // shares one table.
    const int64_t span = std::min<int64_t>(2 * r + 1, height);
    const bool rings = span * int64_t(graphics::parallelThreads()) < height;
    std::vector<uint8_t> bin_of;
    std::vector<int64_t> half; // half[d]: widest |dx| with dx^2 + d^2 <= r^2, for |dy| = d
    try {
        bin_of.resize(rings ? 0 : w * size_t(height));
        half.resize(size_t(std::min<int64_t>(r, height - 1)) + 1);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "oilify: out of memory for %dx%d\n", width, height);
        return false;
    }
    const auto classify = [&](int v, uint8_t* out) {
        const uint8_t* px = src + size_t(v) * w * 4;
        for (size_t i = 0; i < w; ++i, px += 4) {
            const int intensity = int(0.2126 * px[1] + 0.7152 * px[2] + 0.0722 * px[3]);
            out[i] = uint8_t(intensity >> 2);
        }
    };
    if (!rings)
        graphics::parallelRows(height, w, [&](int y0, int y1) {
            for (int v = y0; v < y1; ++v)
                classify(v, bin_of.data() + size_t(v) * w);
        });
    int64_t dx = r;
    for (size_t d = 0; d < half.size(); ++d) {
        const int64_t dy = int64_t(d);
        while (dx * dx + dy * dy > r * r)
            --dx;
        half[d] = dx;
    }

    // Every row starts its own histogram, so rows run apart on any number of threads with the
    // same bytes; a row's work grows with the disc's height.
    std::atomic<bool> failed{false};
    try {
        graphics::parallelRows(height, w * size_t(2 * std::min<int64_t>(r, height) + 1), [&](int y0, int y1) {
            auto hist = std::make_unique<Histogram>();
            std::unique_ptr<uint8_t[]> ring;
            if (rings) {
                ring.reset(new (std::nothrow) uint8_t[size_t(span) * w]);
                if (!ring) {
                    std::fprintf(stderr, "oilify: out of memory for %lld rows of %d\n", (long long)span,
                                 width);
                    failed = true;
                    return;
                }
            }
            int filled = int(std::max<int64_t>(y0 - r, 0)); // rows below it are classified
            const auto bins = [&](int v) {
                return rings ? ring.get() + size_t(v % span) * w : bin_of.data() + size_t(v) * w;
            };
            // The class rows of the disc's rows, looked up once per output row.
            std::vector<const uint8_t*> window(size_t(2 * std::min<int64_t>(r, height) + 1));
            for (int y = y0; y < y1; ++y) {
                const int v0 = int(std::max<int64_t>(y - r, 0));
                const int v1 = int(std::min<int64_t>(y + r, height - 1));
                for (; rings && filled <= v1; ++filled)
                    classify(filled, bins(filled));
                for (int v = v0; v <= v1; ++v)
                    window[size_t(v - v0)] = bins(v);

                // The disc slides along the row: each of its rows loses its leftmost column and gains
                // one on the right, so a step costs the disc's height, not its area.
                hist->clear();
                for (int v = v0; v <= v1; ++v) {
                    const int64_t last = std::min<int64_t>(half[size_t(std::abs(v - y))], width - 1);
                    const size_t row = size_t(v) * w;
                    const uint8_t* bin = window[size_t(v - v0)];
                    for (int64_t u = 0; u <= last; ++u)
                        hist->add(src + (row + size_t(u)) * 4, bin[u]);
                }
                for (int x = 0;; ++x) {
                    hist->write(dst + (size_t(y) * w + size_t(x)) * 4);
                    if (x + 1 == width) break;
                    for (int v = v0; v <= v1; ++v) {
                        const int64_t h = half[size_t(std::abs(v - y))];
                        const size_t row = size_t(v) * w;
                        const uint8_t* bin = window[size_t(v - v0)];
                        if (x - h >= 0) {
                            const size_t u = size_t(x - h);
                            hist->remove(src + (row + u) * 4, bin[u]);
                        }
                        if (x + 1 + h < width) {
                            const size_t u = size_t(x + 1 + h);
                            hist->add(src + (row + u) * 4, bin[u]);
                        }
                    }
                }
            }
        });
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "oilify: out of memory for a histogram\n");
        return false;
    }
    return !failed;
}
