#include "kernels/denoise/denoise.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <exception>
#include <memory>
#include <new>
#include <thread>
#include <vector>

// The textbook form visits every centre once and weighs each pair (centre, candidate) for both
// pixels, candidates taken from the triangle dy = r..0, dx = -dy..dy below the centre. That
// scatter cannot be split across threads, so here every pixel gathers its contributions in
// exactly the order the scatter would add them: first from the earlier centres that picked it
// as a candidate (in raster order of those centres), then from its own candidates. Per tile and
// per offset the patch distances come from an image of squared differences, summed in the same
// order as a direct patch comparison, so results are the same to the bit whatever the tiling
// and the number of threads.

namespace {

constexpr int kTileRows = 16;
constexpr int kTileCols = 256;
constexpr float kThird = 0.33333334f;

using FloatBuffer = std::unique_ptr<float[]>;

FloatBuffer alloc_floats(size_t n) {
    return FloatBuffer(new (std::nothrow) float[n > 0 ? n : 1]);
}

struct Job {
    const float* in[3];
    float* out[3];
    ptrdiff_t width;
    int patch_radius;
    int search_radius;
    // Processed region: centres and candidates both lie in it.
    int x0, x1, y0, y1;
    int tiles_x, tiles_y;
    float lower, upper, span; // span = upper - lower
};

// Work memory of one thread.
struct Scratch {
    float* acc[4]; // red, green, blue, weight sums of one tile
    float* sq[3];  // squared differences with a halo of patch_radius
    float* dist;   // one row of patch distances
    float* weight; // one row of weights
    int sq_stride;

    static size_t floats(int patch_radius) {
        const size_t halo = size_t(2 * patch_radius);
        return 4 * size_t(kTileRows) * kTileCols + 3 * (kTileRows + halo) * (kTileCols + halo) +
               2 * size_t(kTileCols);
    }

    Scratch(float* mem, int patch_radius) {
        sq_stride = kTileCols + 2 * patch_radius;
        const size_t tile = size_t(kTileRows) * kTileCols;
        const size_t sq_size = size_t(kTileRows + 2 * patch_radius) * sq_stride;
        for (float*& a : acc) {
            a = mem;
            mem += tile;
        }
        for (float*& s : sq) {
            s = mem;
            mem += sq_size;
        }
        dist = mem;
        weight = mem + kTileCols;
    }
};

// Distances of the pairs of row i from the squared differences: per plane the patch's terms
// row by row, the centre left out, as a direct comparison of two patches adds them. R is the
// patch radius when known at compile time (the loops then unroll and vectorise), else -1.
template <int R>
void patch_distances(const Scratch& s, int i, int cols, int patch_radius, float* __restrict dist) {
    const int pr = R >= 0 ? R : patch_radius;
    const int side = 2 * pr + 1;
    const float terms = float(side * side - 1);
    const int stride = s.sq_stride;
    const float* __restrict sq[3] = {s.sq[0] + i * stride, s.sq[1] + i * stride, s.sq[2] + i * stride};
    for (int j = 0; j < cols; ++j) {
        float plane[3];
        for (int c = 0; c < 3; ++c) {
            float sum = 0.0f;
            for (int ky = 0; ky < side; ++ky)
                for (int kx = 0; kx < side; ++kx)
                    if (ky != pr || kx != pr) sum += sq[c][ky * stride + j + kx];
            plane[c] = pr > 0 ? sum / terms : 0.0f;
        }
        dist[j] = (plane[0] + plane[1] + plane[2]) * kThird;
    }
}

// Weight of each pair from its distance: 1 below `lower`, falling linearly to 0 at `upper`.
// A pair at or beyond `upper` gets 0 (possibly -0), which adds nothing: the same as leaving
// it out.
void pair_weights(const float* __restrict dist, float* __restrict weight, int n, const Job& job) {
    const float lower = job.lower, upper = job.upper, span = job.span;
    if (span > 0.0f && std::isfinite(span)) {
        // Here the clamp gives the same values as the three cases, and vectorises.
        for (int j = 0; j < n; ++j)
            weight[j] = std::max(std::min((upper - dist[j]) / span, 1.0f), 0.0f);
    } else {
        for (int j = 0; j < n; ++j) {
            const float d = dist[j];
            weight[j] = d >= upper ? 0.0f : d < lower ? 1.0f : (upper - d) / span;
        }
    }
}

void accumulate(float* __restrict ar, float* __restrict ag, float* __restrict ab, float* __restrict aw,
                const float* __restrict vr, const float* __restrict vg, const float* __restrict vb,
                const float* __restrict weight, int n) {
    for (int j = 0; j < n; ++j) {
        ar[j] += vr[j] * weight[j];
        ag[j] += vg[j] * weight[j];
        ab[j] += vb[j] * weight[j];
        aw[j] += weight[j];
    }
}

// Adds to the tile [tx0, tx1) x [ty0, ty1) the contributions of offset (dx, dy). The pair is
// (p, p + o) for the pixel's own candidates, or (p - o, p) when the pixel was the candidate of
// an earlier centre; only pairs inside the processed region count.
void add_offset(const Job& job, Scratch& s, int tx0, int tx1, int ty0, int ty1, int dx, int dy,
                bool as_candidate) {
    const int px_off = as_candidate ? -dx : dx; // partner of p
    const int py_off = as_candidate ? -dy : dy;
    const int xa = std::max(tx0, job.x0 - px_off), xb = std::min(tx1, job.x1 - px_off);
    const int ya = std::max(ty0, job.y0 - py_off), yb = std::min(ty1, job.y1 - py_off);
    if (xa >= xb || ya >= yb) return;
    const int cols = xb - xa;
    const int rows = yb - ya;
    const int pr = job.patch_radius;
    const ptrdiff_t w = job.width;

    // First pixel of the pair's centre for p = (xa, ya), minus the halo.
    const int cx = (as_candidate ? xa - dx : xa) - pr;
    const int cy = (as_candidate ? ya - dy : ya) - pr;
    const ptrdiff_t shift = dy * w + dx;
    const int sq_cols = cols + 2 * pr;
    for (int c = 0; c < 3; ++c) {
        for (int i = 0; i < rows + 2 * pr; ++i) {
            const float* a = job.in[c] + (cy + i) * w + cx;
            const float* b = a + shift;
            float* sq = s.sq[c] + i * s.sq_stride;
            for (int j = 0; j < sq_cols; ++j) {
                const float d = a[j] - b[j];
                sq[j] = d * d;
            }
        }
    }

    const ptrdiff_t partner = py_off * w + px_off;
    for (int i = 0; i < rows; ++i) {
        if (pr == 1)
            patch_distances<1>(s, i, cols, pr, s.dist);
        else
            patch_distances<-1>(s, i, cols, pr, s.dist);
        pair_weights(s.dist, s.weight, cols, job);
        const ptrdiff_t at = (ya + i) * w + xa + partner;
        const float* vr = job.in[0] + at;
        const float* vg = job.in[1] + at;
        const float* vb = job.in[2] + at;
        const size_t row = size_t(ya - ty0 + i) * kTileCols + size_t(xa - tx0);
        // A pixel paired with itself serves as centre and as candidate: it counts twice.
        const int times = dx == 0 && dy == 0 ? 2 : 1;
        for (int t = 0; t < times; ++t)
            accumulate(s.acc[0] + row, s.acc[1] + row, s.acc[2] + row, s.acc[3] + row, vr, vg, vb, s.weight,
                       cols);
    }
}

// Denoises one tile into the output planes; answers its number of pixels.
int64_t process_tile(const Job& job, Scratch& s, int tile) {
    const int tx0 = job.x0 + (tile % job.tiles_x) * kTileCols;
    const int ty0 = job.y0 + (tile / job.tiles_x) * kTileRows;
    const int tx1 = std::min(tx0 + kTileCols, job.x1);
    const int ty1 = std::min(ty0 + kTileRows, job.y1);
    for (float* a : s.acc)
        std::fill(a, a + size_t(kTileRows) * kTileCols, 0.0f);

    const int r = job.search_radius;
    for (int dy = r; dy >= 1; --dy)
        for (int dx = dy; dx >= -dy; --dx)
            add_offset(job, s, tx0, tx1, ty0, ty1, dx, dy, true);
    for (int dy = r; dy >= 0; --dy)
        for (int dx = -dy; dx <= dy; ++dx)
            add_offset(job, s, tx0, tx1, ty0, ty1, dx, dy, false);

    for (int y = ty0; y < ty1; ++y) {
        const size_t row = size_t(y - ty0) * kTileCols;
        for (int x = tx0; x < tx1; ++x) {
            const ptrdiff_t at = y * job.width + x;
            const float sum = s.acc[3][row + size_t(x - tx0)];
            // A pixel that found no similar neighbour keeps its value rather than turning black.
            const bool weighed = double(sum) > 1e-10;
            for (int c = 0; c < 3; ++c)
                job.out[c][at] = weighed ? s.acc[c][row + size_t(x - tx0)] / sum : job.in[c][at];
        }
    }
    return int64_t(tx1 - tx0) * (ty1 - ty0);
}

// Runs every tile on `threads` threads, the calling one included: it alone calls the callback,
// after each of its tiles, so the callback sees the thread it expects and a stop is seen within
// one tile.
bool run_tiles(const Job& job, denoise_progress_t callback, void* context, unsigned threads) {
    const int tiles = job.tiles_x * job.tiles_y;
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    threads = std::min(threads, unsigned(tiles));

    const size_t per_thread = Scratch::floats(job.patch_radius);
    FloatBuffer memory = alloc_floats(per_thread * threads);
    if (!memory) {
        std::fprintf(stderr, "denoise: not enough memory\n");
        return false;
    }

    const double total = double(job.x1 - job.x0) * double(job.y1 - job.y0);
    std::atomic<int> next{0};
    std::atomic<int64_t> done{0};
    std::atomic<bool> stop{false};
    float reported = 0.0f;
    auto work = [&](unsigned index, bool reports) {
        Scratch scratch(memory.get() + per_thread * index, job.patch_radius);
        while (!stop.load(std::memory_order_relaxed)) {
            const int tile = next.fetch_add(1);
            if (tile >= tiles) return;
            const int64_t pixels = process_tile(job, scratch, tile);
            const int64_t now = done.fetch_add(pixels) + pixels;
            if (reports && callback) {
                reported = float(double(now) / total);
                if (callback(reported, context) == 0) {
                    std::puts("cancelled");
                    stop = true;
                }
            }
        }
    };

    std::vector<std::thread> workers;
    for (unsigned i = 1; i < threads; ++i) {
        try {
            workers.emplace_back(work, i, false);
        } catch (const std::exception&) {
            break; // fewer threads only make it slower
        }
    }
    work(0, true);
    for (std::thread& t : workers)
        t.join();
    if (callback && !stop && reported < 1.0f) callback(1.0f, context);
    return !stop;
}

} // namespace

float l2_distance(const float* plane, int x1, int y1, int x2, int y2, int patch_radius, int width) {
    if (patch_radius <= 0) return 0.0f;
    const int side = 2 * patch_radius + 1;
    float sum = 0.0f;
    for (int ky = -patch_radius; ky <= patch_radius; ++ky) {
        for (int kx = -patch_radius; kx <= patch_radius; ++kx) {
            if (ky == 0 && kx == 0) continue;
            const float d =
                plane[ptrdiff_t(y1 + ky) * width + (x1 + kx)] - plane[ptrdiff_t(y2 + ky) * width + (x2 + kx)];
            sum += d * d;
        }
    }
    return sum / float(side * side - 1);
}

bool nlmeans(int patch_radius, int search_radius, float h, float sigma_r, float sigma_g, float sigma_b,
             const float* in_r, const float* in_g, const float* in_b, float* out_r, float* out_g,
             float* out_b, int width, int height, denoise_progress_t callback, void* context,
             unsigned threads) {
    if (width <= 0 || height <= 0) return true;
    const size_t n = size_t(width) * size_t(height);
    std::copy(in_r, in_r + n, out_r);
    std::copy(in_g, in_g + n, out_g);
    std::copy(in_b, in_b + n, out_b);

    const int m = patch_radius + search_radius;
    if (patch_radius < 0 || search_radius < 0 || m >= height - m || m >= width - m) return true;

    const float v = (sigma_r * sigma_r + sigma_g * sigma_g + sigma_b * sigma_b) / 3.0f;
    const int side = 2 * patch_radius + 1;
    const float lower = 2.0f * v;
    const float upper = lower + h * std::sqrt(8.0f * v * v / float(3 * side * side));

    // Distances are never negative: nothing can be weighed.
    if (!(upper > 0.0f)) {
        if (callback) callback(1.0f, context);
        return true;
    }

    Job job{};
    job.in[0] = in_r, job.in[1] = in_g, job.in[2] = in_b;
    job.out[0] = out_r, job.out[1] = out_g, job.out[2] = out_b;
    job.width = width;
    job.patch_radius = patch_radius;
    job.search_radius = search_radius;
    job.x0 = m, job.x1 = width - m, job.y0 = m, job.y1 = height - m;
    job.tiles_x = (job.x1 - job.x0 + kTileCols - 1) / kTileCols;
    job.tiles_y = (job.y1 - job.y0 + kTileRows - 1) / kTileRows;
    job.lower = lower, job.upper = upper, job.span = upper - lower;
    return run_tiles(job, callback, context, threads);
}

bool denoise(const uint8_t* src, int src_width, int src_height, int src_row_bytes, uint8_t* dst,
             int dst_width, int dst_height, int dst_row_bytes, denoise_progress_t callback, void* context,
             float h, float amount, unsigned threads) {
    std::printf("Noise reduction image: %ux%u\n", unsigned(dst_width), unsigned(dst_height));
    if (!src || !dst || src_width <= 0 || src_height <= 0 || dst_width <= 0 || dst_height <= 0) return false;

    // A zero border as wide as the search margin lets every pixel be a centre.
    constexpr int kBorder = 8;
    const int64_t pw = int64_t(dst_width) + 2 * kBorder;
    const int64_t ph = int64_t(dst_height) + 2 * kBorder;
    if (pw > INT32_MAX || ph > INT32_MAX) {
        std::fprintf(stderr, "denoise: image too large\n");
        return false;
    }
    const size_t plane = size_t(pw) * size_t(ph);
    FloatBuffer in(new (std::nothrow) float[3 * plane]());
    FloatBuffer out = alloc_floats(3 * plane);
    if (!in || !out) {
        std::fprintf(stderr, "denoise: not enough memory\n");
        return false;
    }
    float* in_planes[3] = {in.get(), in.get() + plane, in.get() + 2 * plane};
    float* out_planes[3] = {out.get(), out.get() + plane, out.get() + 2 * plane};

    for (int y = 0; y < dst_height; ++y) {
        const uint8_t* row = src + ptrdiff_t(int64_t(y) * src_height / dst_height) * src_row_bytes;
        const ptrdiff_t at = ptrdiff_t(y + kBorder) * pw + kBorder;
        for (int x = 0; x < dst_width; ++x) {
            const uint8_t* px = row + 4 * ptrdiff_t(int64_t(x) * src_width / dst_width);
            for (int c = 0; c < 3; ++c)
                in_planes[c][at + x] = px[1 + c];
        }
    }

    const std::clock_t start = std::clock();
    const float sigma = 10.0f * amount;
    const bool done =
        nlmeans(1, 7, h, sigma, sigma, sigma, in_planes[0], in_planes[1], in_planes[2], out_planes[0],
                out_planes[1], out_planes[2], int(pw), int(ph), callback, context, threads);
    std::printf("time: %f\n", double(std::clock() - start) / 1000000.0);

    for (int y = 0; y < dst_height; ++y) {
        uint8_t* row = dst + ptrdiff_t(y) * dst_row_bytes;
        const ptrdiff_t at = ptrdiff_t(y + kBorder) * pw + kBorder;
        for (int x = 0; x < dst_width; ++x)
            for (int c = 0; c < 3; ++c)
                row[4 * x + 1 + c] = uint8_t(int(out_planes[c][at + x]));
    }
    return done;
}
