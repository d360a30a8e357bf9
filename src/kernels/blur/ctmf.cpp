#include "kernels/blur/ctmf.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// 16 counts; kept as one block so that the compiler adds them as vectors.
struct alignas(16) Counts {
    uint16_t n[16];
};

inline void add(Counts& a, const Counts& b) {
    for (int i = 0; i < 16; ++i)
        a.n[i] = uint16_t(a.n[i] + b.n[i]);
}
inline void sub(Counts& a, const Counts& b) {
    for (int i = 0; i < 16; ++i)
        a.n[i] = uint16_t(a.n[i] - b.n[i]);
}

// One window histogram a channel; `luc[k]` is the first column not yet in fine bucket k,
// which is brought up to date only when the median falls into it.
struct Window {
    Counts coarse;
    Counts fine[16];
    int luc[16];
};

struct Stripe {
    const uint8_t* src;
    uint8_t* dst;
    int width; // columns of this stripe
    int first; // first output column, stripe-relative
    int last;  // last output column, stripe-relative
};

// Column histograms: coarse[c * cn + ch], fine[(k * columns + c) * cn + ch] for bucket k,
// so that one bucket of neighbouring columns lies together.
struct Columns {
    Counts* coarse;
    Counts* fine;
    int columns;
    int cn;

    Counts& coarse_of(int c, int ch) { return coarse[size_t(c) * cn + ch]; }
    Counts& fine_of(int k, int c, int ch) { return fine[(size_t(k) * columns + c) * cn + ch]; }

    void count(const uint8_t* row, int width, int times) {
        for (int c = 0; c < width; ++c)
            for (int ch = 0; ch < cn; ++ch) {
                const uint8_t v = row[size_t(c) * cn + ch];
                coarse_of(c, ch).n[v >> 4] = uint16_t(coarse_of(c, ch).n[v >> 4] + times);
                fine_of(v >> 4, c, ch).n[v & 15] = uint16_t(fine_of(v >> 4, c, ch).n[v & 15] + times);
            }
    }
};

void median_stripe(const Stripe& s, int height, int src_step, int dst_step, int r, int cn, Columns& cols,
                   Window* windows) {
    const int w = s.width;
    std::memset(cols.coarse, 0, sizeof(Counts) * size_t(w) * cn);
    std::memset(cols.fine, 0, sizeof(Counts) * 16 * size_t(w) * cn);

    // The window of row 0 spans rows -r..r; the top row stands for the rows above it.
    cols.count(s.src, w, r + 1);
    for (int i = 1; i <= r; ++i)
        cols.count(s.src + std::ptrdiff_t(i) * src_step, w, 1);

    const int half = 2 * r * r + 2 * r + 1; // rank of the median in (2r + 1)^2 samples
    auto clamp_col = [w](int c) { return std::clamp(c, 0, w - 1); };

    for (int y = 0; y < height; ++y) {
        if (y > 0) {
            const uint8_t* out_row = s.src + std::ptrdiff_t(std::max(0, y - r - 1)) * src_step;
            const uint8_t* in_row = s.src + std::ptrdiff_t(std::min(height - 1, y + r)) * src_step;
            cols.count(out_row, w, -1);
            cols.count(in_row, w, 1);
        }
        uint8_t* dst_row = s.dst + std::ptrdiff_t(y) * dst_step;

        for (int ch = 0; ch < cn; ++ch) {
            Window& win = windows[ch];
            std::memset(&win.coarse, 0, sizeof win.coarse);
            for (int c = s.first - r; c <= s.first + r; ++c)
                add(win.coarse, cols.coarse_of(clamp_col(c), ch));
            for (int k = 0; k < 16; ++k)
                win.luc[k] = s.first - r - 1;

            for (int x = s.first; x <= s.last; ++x) {
                if (x > s.first) {
                    add(win.coarse, cols.coarse_of(clamp_col(x + r), ch));
                    sub(win.coarse, cols.coarse_of(clamp_col(x - r - 1), ch));
                }
                int k = 0, sum = 0;
                for (; k < 16; ++k) {
                    sum += win.coarse.n[k];
                    if (sum >= half) break;
                }
                sum -= win.coarse.n[k];

                Counts& fine = win.fine[k];
                if (win.luc[k] <= x - r) {
                    std::memset(&fine, 0, sizeof fine);
                    for (int c = x - r; c <= x + r; ++c)
                        add(fine, cols.fine_of(k, clamp_col(c), ch));
                } else {
                    for (int c = win.luc[k]; c <= x + r; ++c) {
                        add(fine, cols.fine_of(k, clamp_col(c), ch));
                        sub(fine, cols.fine_of(k, clamp_col(c - 2 * r - 1), ch));
                    }
                }
                win.luc[k] = x + r + 1;

                int b = 0;
                for (; b < 16; ++b) {
                    sum += fine.n[b];
                    if (sum >= half) break;
                }
                dst_row[size_t(x) * cn + ch] = uint8_t(16 * k + b);
            }
        }
    }
}

void* aligned_block(size_t bytes) {
    return std::aligned_alloc(16, (bytes + 15) / 16 * 16);
}

} // namespace

bool ctmf(const uint8_t* src, uint8_t* dst, int width, int height, int src_step, int dst_step, int r,
          int channels, long memory_size) {
    if (!src || !dst || r < 0 || r > 127 || channels < 1 || src_step == 0 || dst_step == 0) return false;
    if (width < 2 * r + 1 || height < 2 * r + 1) return false;
    const long per_stripe = memory_size / kCtmfHistogramBytes - 2 * r;
    if (per_stripe <= 0) return false;

    const long stripes = (width - 2 * r + per_stripe - 1) / per_stripe;
    const int stripe_width = int((2 * r * stripes + width - 2 * r + stripes - 1) / stripes);

    const size_t column_counts = size_t(stripe_width) * channels;
    Columns cols{static_cast<Counts*>(aligned_block(sizeof(Counts) * column_counts)),
                 static_cast<Counts*>(aligned_block(sizeof(Counts) * 16 * column_counts)), stripe_width,
                 channels};
    Window* windows = static_cast<Window*>(aligned_block(sizeof(Window) * size_t(channels)));
    if (!cols.coarse || !cols.fine || !windows) {
        std::fprintf(stderr, "ctmf: out of memory for %d columns\n", stripe_width);
        std::free(cols.coarse);
        std::free(cols.fine);
        std::free(windows);
        return false;
    }

    // Stripes step by stripe_width - 2r, so each one's inner outputs meet the next one's.
    for (int x0 = 0;; x0 += stripe_width - 2 * r) {
        const int w = std::min(stripe_width, width - x0);
        const bool last = x0 + w >= width;
        cols.columns = w;
        const Stripe s{src + size_t(x0) * channels, dst + size_t(x0) * channels, w, x0 == 0 ? 0 : r,
                       last ? w - 1 : w - 1 - r};
        median_stripe(s, height, src_step, dst_step, r, channels, cols, windows);
        if (last) break;
    }

    std::free(cols.coarse);
    std::free(cols.fine);
    std::free(windows);
    return true;
}
