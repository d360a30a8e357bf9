// Neighbourhood reads as effects make them: one call per pixel over a 16-megapixel working image,
// rows outer. "ms_per_MP" is wall time per megapixel (the console writes it with SI prefixes:
// 634.2m is 0.6342 ms).
#include "engine/Neighbourhood.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

namespace {

constexpr int kSide = 4096; // 16.8 megapixels

void buildWorkingImage() {
    if (PostProcess::g_global_pre_inited) return;
    std::vector<uint8_t> pixels(size_t(kSide) * kSide * 4);
    for (size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i] = uint8_t(i * 7);
        pixels[i + 1] = uint8_t(i >> 12);
        pixels[i + 2] = uint8_t(i >> 5);
        pixels[i + 3] = 255;
    }
    PostProcess::global_pre_init(graphics::Image::copy(pixels.data(), kSide, kSide, size_t(kSide) * 4, {}));
}

template <typename PerPixel> void overImage(benchmark::State& state, PerPixel perPixel) {
    buildWorkingImage();
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        float sum = 0;
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x)
                sum += perPixel(x, y);
        benchmark::DoNotOptimize(sum);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["ms_per_MP"] = seconds * 1000 / double(state.iterations()) / (double(kSide) * kSide / 1e6);
}

void BM_do_blur(benchmark::State& state) {
    const float radius = float(state.range(0));
    overImage(state, [&](int x, int y) { return do_blur(x, y, radius).g; });
}
BENCHMARK(BM_do_blur)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_do_blur2(benchmark::State& state) {
    const int r = int(state.range(0));
    overImage(state, [&](int x, int y) { return do_blur2(x, y, r).g; });
}
BENCHMARK(BM_do_blur2)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_do_blur3(benchmark::State& state) {
    const int r = int(state.range(0));
    overImage(state, [&](int x, int y) { return do_blur3(x, y, r, 2).g; });
}
BENCHMARK(BM_do_blur3)->Arg(4)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_do_edge_detection(benchmark::State& state) {
    const bool randomized = state.range(0) != 0;
    overImage(state, [&](int x, int y) { return do_edge_detection(x, y, randomized, 3.0f, 0.2f, 1.0f); });
    state.SetLabel(randomized ? "randomised" : "fixed offsets");
}
BENCHMARK(BM_do_edge_detection)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
