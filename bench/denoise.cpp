// Noise reduction on 1 and 16 megapixel noisy photos, on one thread and on every core.
// ms_per_MP is the figure to compare with other denoisers (bench/denoise_opencv.py).
#include "kernels/denoise/denoise.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <random>
#include <vector>

namespace {

std::vector<uint8_t> noisy_photo(int w, int h) {
    std::mt19937 rng(1);
    std::normal_distribution<float> noise(0.0f, 8.0f);
    std::vector<uint8_t> px(size_t(w) * h * 4, 255);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 1; c < 4; ++c) {
                const float smooth = 128 + 90 * std::sin(x * 0.01f + c) * std::cos(y * 0.013f);
                const float v = smooth + noise(rng);
                px[(size_t(y) * w + x) * 4 + c] = uint8_t(v < 0 ? 0 : v > 255 ? 255 : v);
            }
    return px;
}

void BM_denoise(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1));
    const unsigned threads = unsigned(state.range(2));
    const std::vector<uint8_t> src = noisy_photo(w, h);
    std::vector<uint8_t> dst(src.size());
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        // The adjustments tool's strongest setting; the cost does not depend on it.
        if (!denoise(src.data(), w, h, 4 * w, dst.data(), w, h, 4 * w, nullptr, nullptr, 1.5f, 1.1f, threads))
            state.SkipWithError("out of memory");
        benchmark::DoNotOptimize(dst.data());
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    const double mp = double(w) * h / 1e6;
    state.counters["ms_per_MP"] = 1e3 * seconds / (mp * double(state.iterations()));
    state.SetLabel(threads == 1 ? "1 thread" : "all cores");
}

} // namespace

// Sizes: 1152 x 864 (1 MP) and 4608 x 3456 (16 MP); 0 threads means one per core.
BENCHMARK(BM_denoise)
    ->Args({1152, 864, 1})
    ->Args({1152, 864, 0})
    ->Args({4608, 3456, 1})
    ->Args({4608, 3456, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
