// The oil paint filter on a 16-megapixel image with four 128-pixel brushes, at the scale the brush
// strokes look uses by default for a 4096-pixel short side, and at its smallest and largest.
#include "kernels/paint/oil_paint_filter.h"
#include "kernels/Random.h"

#include "BenchPhoto.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int kWidth = bench::kPhotoWidth;
constexpr int kHeight = bench::kPhotoHeight;
constexpr int kBrush = 128;

using bench::photo;

// Dark elongated strokes with soft rims on white, each tilted differently.
std::vector<std::vector<uint8_t>> brush_pixels() {
    std::vector<std::vector<uint8_t>> brushes;
    for (int b = 0; b < 4; ++b) {
        std::vector<uint8_t> px(size_t(kBrush) * kBrush * 4, 255);
        const double angle = 0.4 + b * 0.7, c = std::cos(angle), s = std::sin(angle);
        for (int y = 0; y < kBrush; ++y)
            for (int x = 0; x < kBrush; ++x) {
                const double dx = x - kBrush / 2.0, dy = y - kBrush / 2.0;
                const double u = (dx * c + dy * s) / (kBrush * 0.48), v = (dy * c - dx * s) / (kBrush * 0.2);
                const double d = std::sqrt(u * u + v * v);
                const uint8_t coverage = uint8_t(std::clamp((d - 0.7) / 0.3, 0.0, 1.0) * 255);
                uint8_t* p = &px[(size_t(y) * kBrush + x) * 4];
                p[1] = p[2] = p[3] = coverage;
            }
        brushes.push_back(std::move(px));
    }
    return brushes;
}

void BM_oil_paint_filter(benchmark::State& state) {
    const std::vector<std::vector<uint8_t>> pixels = brush_pixels();
    std::vector<image_t> brushes;
    for (const auto& px : pixels)
        brushes.push_back({px.data(), kBrush, kBrush, 4 * kBrush});
    std::vector<uint8_t> dst(photo().size());
    const float parameter = float(state.range(0)) / 1000;
    const float scale = float(double(float(kHeight) * 0.7f / 640) * double(parameter));
    Random::seed(1);
    for (auto _ : state) {
        if (!oil_paint_filter(photo().data(), dst.data(), kWidth, kHeight, 4 * kWidth, 4 * kWidth,
                              brushes.data(), int(brushes.size()), scale))
            state.SkipWithError("painting not made");
        benchmark::DoNotOptimize(dst.data());
    }
}
// "Scale" 0.4, 0.421 (default) and 2.5.
BENCHMARK(BM_oil_paint_filter)->Arg(400)->Arg(421)->Arg(2500)->Unit(benchmark::kMillisecond);

} // namespace
