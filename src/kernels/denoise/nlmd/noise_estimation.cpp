#include "kernels/denoise/nlmd/noise_estimation.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <tuple>
#include <utility>
#include <vector>

namespace {

constexpr int kStackRanges = 50;
constexpr int kInsertionRange = 7;

// Calibration factor of a block size and percentile pair, or 0 when there is none.
float calibration(int block_size, float percentile) {
    if (block_size == 15 && percentile == 0.01f) return 1.1502f;
    if (block_size == 21 && percentile == 0.01f) return 1.1035f;
    if (block_size == 15 && percentile == 0.005f) return 1.1676f;
    if (block_size == 21 && percentile == 0.005f) return 1.1153f;
    return 0.0f;
}

void insertion_sort(float* keys, float* other, int lo, int hi) {
    for (int i = lo + 1; i <= hi; ++i) {
        const float k = keys[i], o = other[i];
        int j = i - 1;
        for (; j >= lo && keys[j] > k; --j) {
            keys[j + 1] = keys[j];
            other[j + 1] = other[j];
        }
        keys[j + 1] = k;
        other[j + 1] = o;
    }
}

} // namespace

bool quick_sort(float* keys, float* other, int n) {
    std::pair<int, int> stack[kStackRanges];
    int top = 0;
    int lo = 0, hi = n - 1;
    for (;;) {
        if (hi - lo < kInsertionRange) {
            if (hi > lo) insertion_sort(keys, other, lo, hi);
            if (top == 0) return true;
            std::tie(lo, hi) = stack[--top];
            continue;
        }
        // Median of three as the pivot, then a Hoare partition.
        const int mid = lo + (hi - lo) / 2;
        auto swap_at = [&](int a, int b) {
            std::swap(keys[a], keys[b]);
            std::swap(other[a], other[b]);
        };
        if (keys[mid] < keys[lo]) swap_at(mid, lo);
        if (keys[hi] < keys[lo]) swap_at(hi, lo);
        if (keys[hi] < keys[mid]) swap_at(hi, mid);
        const float pivot = keys[mid];
        int i = lo, j = hi;
        while (i <= j) {
            while (keys[i] < pivot)
                ++i;
            while (keys[j] > pivot)
                --j;
            if (i <= j) swap_at(i++, j--);
        }
        // Defer the larger part, go on with the smaller: the stack stays logarithmic.
        if (top == kStackRanges) {
            std::fprintf(stderr, "Stack too small\n");
            return false;
        }
        if (j - lo > hi - i) {
            stack[top++] = {lo, j};
            lo = i;
        } else {
            stack[top++] = {i, hi};
            hi = j;
        }
    }
}

void noise_estimate_compute_derivative(const float* image, int width, int height, float* derivative) {
    for (int y = 0; y < height; ++y) {
        const float* row = image + size_t(y) * size_t(width);
        float* d = derivative + size_t(y) * size_t(width - 1);
        for (int x = 0; x + 1 < width; ++x)
            d[x] = (row[x + 1] - row[x]) / 1.4142135f;
    }
}

int noise_estimate_derivative_variance(const float* image, int width, int height, const float* derivative,
                                       int block_size, float* means, float* deviations) {
    const int dw = width - 1, bx = dw / block_size, by = height / block_size;
    const float n = float(block_size * block_size);
    int b = 0;
    for (int j = 0; j < by; ++j)
        for (int i = 0; i < bx; ++i, ++b) {
            float image_sum = 0.0f, d_sum = 0.0f;
            for (int y = j * block_size; y < (j + 1) * block_size; ++y)
                for (int x = i * block_size; x < (i + 1) * block_size; ++x) {
                    image_sum += image[size_t(y) * size_t(width) + size_t(x)];
                    d_sum += derivative[size_t(y) * size_t(dw) + size_t(x)];
                }
            const float d_mean = d_sum / n;
            float squares = 0.0f;
            for (int y = j * block_size; y < (j + 1) * block_size; ++y)
                for (int x = i * block_size; x < (i + 1) * block_size; ++x) {
                    const float e = derivative[size_t(y) * size_t(dw) + size_t(x)] - d_mean;
                    squares += e * e;
                }
            means[b] = image_sum / n;
            deviations[b] = std::sqrt(squares / (n - 1.0f));
        }
    return b;
}

bool noise_estimation_algorithm(const float* image, int width, int height, int block_size, float percentile,
                                int bins, bool equal_count_bins, float* noise_levels, float* intensities) {
    const float factor = calibration(block_size, percentile);
    if (factor == 0.0f) {
        std::fprintf(stderr, "ERROR :: noise_estimation_algorithm :: parameters not calibrated\n");
        return false;
    }
    if (!image || !noise_levels || !intensities || bins < 1 || width - 1 < block_size || height < block_size)
        return false;

    std::vector<float> derivative(size_t(width - 1) * size_t(height));
    noise_estimate_compute_derivative(image, width, height, derivative.data());
    const size_t blocks = size_t((width - 1) / block_size) * size_t(height / block_size);
    std::vector<float> means(blocks), deviations(blocks);
    const int count = noise_estimate_derivative_variance(image, width, height, derivative.data(), block_size,
                                                         means.data(), deviations.data());
    if (!quick_sort(means.data(), deviations.data(), count)) return false;

    // Blocks are sorted by mean, so every bin is one run of them.
    std::vector<int> first(size_t(bins) + 1, count);
    first[0] = 0;
    if (equal_count_bins) {
        for (int b = 1; b < bins; ++b)
            first[size_t(b)] = int(int64_t(b) * count / bins);
    } else {
        const float lowest = means[0], step = (means[size_t(count) - 1] - lowest) / float(bins);
        int i = 0;
        for (int b = 1; b < bins; ++b) {
            while (i < count && step > 0.0f && means[size_t(i)] < lowest + step * float(b))
                ++i;
            first[size_t(b)] = step > 0.0f ? i : count;
        }
    }

    for (int b = 0; b < bins; ++b) {
        const int start = first[size_t(b)], n = first[size_t(b) + 1] - start;
        if (n <= 0) {
            noise_levels[b] = -1.0f;
            intensities[b] = 0.0f;
            continue;
        }
        if (!quick_sort(deviations.data() + start, means.data() + start, n)) return false;
        const int pick = start + int(float(n) * percentile);
        noise_levels[b] = deviations[size_t(pick)] * factor;
        intensities[b] = means[size_t(pick)];
    }
    return true;
}
