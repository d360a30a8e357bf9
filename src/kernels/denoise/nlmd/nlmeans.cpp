#include "kernels/denoise/nlmd/nlmeans.h"

#include "kernels/denoise/denoise.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

struct Thresholds {
    float lower, upper;
};

// 1 below lower, linear down to 0 at upper; callers skip candidates at or above upper.
inline float weight(float d, Thresholds t) {
    return d < t.lower ? 1.0f : (t.upper - d) / (t.upper - t.lower);
}

Thresholds three_plane_thresholds(int patch_radius, float h, float sigma_r, float sigma_g, float sigma_b) {
    const float v = (sigma_r * sigma_r + sigma_g * sigma_g + sigma_b * sigma_b) / 3.0f;
    const float side = float(2 * patch_radius + 1);
    const float lower = 2.0f * v;
    return {lower, lower + h * std::sqrt(8.0f * v * v / (3.0f * side * side))};
}

int l2_distance_int(const uint8_t* plane, int x1, int y1, int x2, int y2, int r, int width) {
    if (r == 0) return 0;
    int sum = 0;
    for (int dy = -r; dy <= r; ++dy) {
        const uint8_t* a = plane + size_t(y1 + dy) * size_t(width) + x1;
        const uint8_t* b = plane + size_t(y2 + dy) * size_t(width) + x2;
        for (int dx = -r; dx <= r; ++dx) {
            if (dx == 0 && dy == 0) continue;
            const int d = int(a[dx]) - int(b[dx]);
            sum += d * d;
        }
    }
    return sum / ((2 * r + 1) * (2 * r + 1) - 1);
}

// Visits each centre p and the candidates q of the triangle below it, both as plane
// indices, with their coordinates.
template <typename Visit>
void for_each_triangle_pair(int patch_radius, int search_radius, int width, int height, Visit visit) {
    const int m = patch_radius + search_radius;
    if (m >= height - m) return;
    for (int y = m; y < height - m; ++y)
        for (int x = m; x < width - m; ++x)
            for (int dy = search_radius; dy >= 0; --dy)
                for (int dx = -dy; dx <= dy; ++dx)
                    visit(x, y, x + dx, y + dy);
}

// The patch kernel, normalised on a copy, or an empty one for plain distances.
bool patch_kernel(bool use_kernel, const float* kernel, int kernel_size, int patch_radius,
                  std::vector<float>& out) {
    out.clear();
    if (!use_kernel) return true;
    if (!kernel || kernel_size != 2 * patch_radius + 1) return false;
    out.assign(kernel, kernel + kernel_size * kernel_size);
    normalize(out.data(), int(out.size()));
    return true;
}

float patch_distance(const float* plane, int x1, int y1, int x2, int y2, const std::vector<float>& kernel,
                     int patch_radius, int width) {
    return kernel.empty() ? ::l2_distance(plane, x1, y1, x2, y2, patch_radius, width)
                          : weighted_l2_distance(plane, x1, y1, x2, y2, kernel.data(), patch_radius, width);
}

bool valid(int patch_radius, int search_radius, int width, int height) {
    return patch_radius >= 0 && search_radius >= 0 && width > 0 && height > 0;
}

} // namespace

void normalize(float* v, int n) {
    float sum = 0.0f;
    for (int i = 0; i < n; ++i)
        sum += v[i];
    if (sum == 0.0f) return;
    for (int i = 0; i < n; ++i)
        v[i] /= sum;
}

float weighted_l2_distance(const float* plane, int x1, int y1, int x2, int y2, const float* kernel,
                           int patch_radius, int width) {
    const int r = patch_radius, side = 2 * r + 1;
    float sum = 0.0f;
    for (int dy = -r; dy <= r; ++dy) {
        const float* a = plane + size_t(y1 + dy) * size_t(width) + x1;
        const float* b = plane + size_t(y2 + dy) * size_t(width) + x2;
        const float* k = kernel + size_t(dy + r) * size_t(side) + r;
        for (int dx = -r; dx <= r; ++dx) {
            const float d = a[dx] - b[dx];
            sum += k[dx] * (d * d);
        }
    }
    return sum;
}

bool nlmeans(int patch_radius, int search_radius, bool use_kernel, const float* kernel, int kernel_size,
             float h, float sigma, const float* in, float* out, int width, int height) {
    std::vector<float> k;
    if (!in || !out || !valid(patch_radius, search_radius, width, height) ||
        !patch_kernel(use_kernel, kernel, kernel_size, patch_radius, k))
        return false;

    const float side = float(2 * patch_radius + 1);
    float spread = 1.0f / (side * side);
    if (!k.empty()) {
        spread = 0.0f;
        for (float w : k)
            spread += w * w;
    }
    const float s4 = sigma * sigma * sigma * sigma;
    const float lower = 2.0f * sigma * sigma;
    const Thresholds t{lower, lower + h * std::sqrt(8.0f * s4 * spread)};

    const size_t n = size_t(width) * size_t(height);
    std::vector<float> sum(n, 0.0f), wsum(n, 0.0f);
    for_each_triangle_pair(patch_radius, search_radius, width, height, [&](int x, int y, int qx, int qy) {
        const float d = patch_distance(in, x, y, qx, qy, k, patch_radius, width);
        if (d >= t.upper) return;
        const float w = weight(d, t);
        const size_t p = size_t(y) * size_t(width) + size_t(x), q = size_t(qy) * size_t(width) + size_t(qx);
        sum[p] += w * in[q];
        wsum[p] += w;
        sum[q] += w * in[p];
        wsum[q] += w;
    });
    for (size_t i = 0; i < n; ++i) {
        const float v = wsum[i] > 0.0f ? sum[i] / wsum[i] : in[i];
        out[i] = 0.85f * v + 0.15f * in[i];
    }
    return true;
}

bool nlmeans_org(int patch_radius, int search_radius, bool use_kernel, const float* kernel, int kernel_size,
                 float h, float sigma_r, float sigma_g, float sigma_b, const float* in_r, const float* in_g,
                 const float* in_b, float* out_r, float* out_g, float* out_b, int width, int height) {
    std::vector<float> k;
    if (!in_r || !in_g || !in_b || !out_r || !out_g || !out_b ||
        !valid(patch_radius, search_radius, width, height) ||
        !patch_kernel(use_kernel, kernel, kernel_size, patch_radius, k))
        return false;
    const Thresholds t = three_plane_thresholds(patch_radius, h, sigma_r, sigma_g, sigma_b);
    const float* in[3] = {in_r, in_g, in_b};
    float* out[3] = {out_r, out_g, out_b};

    const size_t n = size_t(width) * size_t(height);
    std::vector<float> sum(3 * n, 0.0f), wsum(n, 0.0f);
    for_each_triangle_pair(patch_radius, search_radius, width, height, [&](int x, int y, int qx, int qy) {
        const float d = (patch_distance(in_r, x, y, qx, qy, k, patch_radius, width) +
                         patch_distance(in_g, x, y, qx, qy, k, patch_radius, width) +
                         patch_distance(in_b, x, y, qx, qy, k, patch_radius, width)) *
                        0.33333334f;
        if (d >= t.upper) return;
        const float w = weight(d, t);
        const size_t p = size_t(y) * size_t(width) + size_t(x), q = size_t(qy) * size_t(width) + size_t(qx);
        for (int c = 0; c < 3; ++c) {
            sum[c * n + p] += w * in[c][q];
            sum[c * n + q] += w * in[c][p];
        }
        wsum[p] += w;
        wsum[q] += w;
    });
    for (int c = 0; c < 3; ++c)
        for (size_t i = 0; i < n; ++i)
            out[c][i] = wsum[i] > 0.0f ? sum[c * n + i] / wsum[i] : in[c][i];
    return true;
}

bool nlmeans_sliding_window(int patch_radius, int search_radius, float h, float sigma_r, float sigma_g,
                            float sigma_b, const float* in_r, const float* in_g, const float* in_b,
                            float* out_r, float* out_g, float* out_b, int width, int height) {
    if (!in_r || !in_g || !in_b || !out_r || !out_g || !out_b ||
        !valid(patch_radius, search_radius, width, height))
        return false;
    const Thresholds t = three_plane_thresholds(patch_radius, h, sigma_r, sigma_g, sigma_b);
    const float* in[3] = {in_r, in_g, in_b};
    float* out[3] = {out_r, out_g, out_b};
    const size_t n = size_t(width) * size_t(height);
    std::vector<float> sum(3 * n, 0.0f), wsum(n, 0.0f);
    auto room = [&](int x, int y) { return std::min({x, y, width - 1 - x, height - 1 - y}); };

    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int y0 = std::max(0, y - search_radius), y1 = std::min(height - 1, y + search_radius);
            const int x0 = std::max(0, x - search_radius), x1 = std::min(width - 1, x + search_radius);
            for (int qy = y0; qy <= y1; ++qy)
                for (int qx = x0; qx <= x1; ++qx) {
                    const int r = std::min({patch_radius, room(x, y), room(qx, qy)});
                    const float count = float((2 * r + 1) * (2 * r + 1));
                    float d = 0.0f;
                    for (int c = 0; c < 3; ++c) {
                        float s = 0.0f;
                        for (int dy = -r; dy <= r; ++dy)
                            for (int dx = -r; dx <= r; ++dx) {
                                const float e = in[c][size_t(y + dy) * width + size_t(x + dx)] -
                                                in[c][size_t(qy + dy) * width + size_t(qx + dx)];
                                s += e * e;
                            }
                        d += s / count;
                    }
                    d *= 0.33333334f;
                    if (d >= t.upper) continue;
                    const float w = weight(d, t);
                    for (int dy = -r; dy <= r; ++dy)
                        for (int dx = -r; dx <= r; ++dx) {
                            const size_t p = size_t(y + dy) * width + size_t(x + dx);
                            const size_t q = size_t(qy + dy) * width + size_t(qx + dx);
                            for (int c = 0; c < 3; ++c)
                                sum[c * n + p] += w * in[c][q];
                            wsum[p] += w;
                        }
                }
        }
    for (int c = 0; c < 3; ++c)
        for (size_t i = 0; i < n; ++i)
            out[c][i] = wsum[i] > 0.0f ? sum[c * n + i] / wsum[i] : in[c][i];
    return true;
}

bool nlmeans_int(int patch_radius, int search_radius, float h, float sigma_r, float sigma_g, float sigma_b,
                 const uint8_t* in_r, const uint8_t* in_g, const uint8_t* in_b, uint8_t* out_r,
                 uint8_t* out_g, uint8_t* out_b, int width, int height) {
    if (!in_r || !in_g || !in_b || !out_r || !out_g || !out_b ||
        !valid(patch_radius, search_radius, width, height))
        return false;
    const Thresholds t = three_plane_thresholds(patch_radius, h, sigma_r, sigma_g, sigma_b);
    const uint8_t* in[3] = {in_r, in_g, in_b};
    uint8_t* out[3] = {out_r, out_g, out_b};
    const size_t n = size_t(width) * size_t(height);
    std::vector<uint64_t> acc(4 * n, 0); // r, g, b and weight of each pixel
    unsigned all_n = 0, use_n = 0;

    for_each_triangle_pair(patch_radius, search_radius, width, height, [&](int x, int y, int qx, int qy) {
        ++all_n;
        const int d = (l2_distance_int(in_r, x, y, qx, qy, patch_radius, width) +
                       l2_distance_int(in_g, x, y, qx, qy, patch_radius, width) +
                       l2_distance_int(in_b, x, y, qx, qy, patch_radius, width)) /
                      3;
        if (float(d) >= t.upper) return;
        const uint64_t w = uint64_t(int(weight(float(d), t)));
        if (w == 0) return;
        ++use_n;
        const size_t p = size_t(y) * size_t(width) + size_t(x), q = size_t(qy) * size_t(width) + size_t(qx);
        for (int c = 0; c < 3; ++c) {
            acc[4 * p + c] += w * in[c][q];
            acc[4 * q + c] += w * in[c][p];
        }
        acc[4 * p + 3] += w;
        acc[4 * q + 3] += w;
    });
    std::printf("all_n: %u\n", all_n);
    std::printf("use_n: %u\n", use_n);

    for (size_t i = 0; i < n; ++i)
        for (int c = 0; c < 3; ++c)
            out[c][i] = acc[4 * i + 3] > 0 ? uint8_t(acc[4 * i + c] / acc[4 * i + 3]) : in[c][i];
    return true;
}
