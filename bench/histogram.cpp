// The levels control's histogram rebuild on a 16-megapixel photo: counting the working image's
// bytes, and the whole rebuild from a shared image (drawn into a fresh buffer first).
#include "BenchPhoto.h"
#include "editor/HistogramTables.h"

#include <benchmark/benchmark.h>

static void BM_HistogramCount16MP(benchmark::State& state) {
    const auto& photo = bench::photo();
    HistogramTables tables;
    for (auto _ : state) {
        tables.count(photo.data(), bench::kPhotoWidth, bench::kPhotoHeight, size_t(bench::kPhotoWidth) * 4);
        benchmark::DoNotOptimize(tables.red[128]);
    }
}
BENCHMARK(BM_HistogramCount16MP)->Unit(benchmark::kMillisecond);

static void BM_HistogramBuild16MP(benchmark::State& state) {
    const auto& photo = bench::photo();
    graphics::PixelFormat xrgb;
    xrgb.order = {graphics::Channel::X, graphics::Channel::R, graphics::Channel::G, graphics::Channel::B};
    const graphics::ImagePtr image = graphics::Image::copy(
        photo.data(), bench::kPhotoWidth, bench::kPhotoHeight, size_t(bench::kPhotoWidth) * 4, xrgb);
    HistogramTables tables;
    for (auto _ : state)
        benchmark::DoNotOptimize(tables.build(image));
}
BENCHMARK(BM_HistogramBuild16MP)->Unit(benchmark::kMillisecond);
