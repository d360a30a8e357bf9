// Line drawing, flood fill, colour halftone and smart posterize on a 16-megapixel image.
#include "kernels/drawing/lines.h"
#include "kernels/halftone/color_halftone.h"
#include "kernels/paint/smart_posterize.h"
#include "kernels/regions/flood_fill.h"

#include "BenchPhoto.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int kWidth = bench::kPhotoWidth;
constexpr int kHeight = bench::kPhotoHeight;

using bench::photo;

// 10,000 lines with end points up to half an image beyond each side, as cell borders are.
void BM_draw_line_alpha(benchmark::State& state) {
    std::vector<uint8_t> px(size_t(kWidth) * kHeight * 4, 0);
    std::vector<int> ends(40000);
    uint32_t seed = 7;
    for (size_t i = 0; i < ends.size(); ++i) {
        seed = seed * 1664525u + 1013904223u;
        ends[i] = int(seed % (2 * kWidth)) - kWidth / 2;
    }
    for (auto _ : state) {
        for (size_t i = 0; i < ends.size(); i += 4)
            draw_line_alpha(px.data(), kWidth, kHeight, kWidth * 4, ends[i], ends[i + 1], ends[i + 2],
                            ends[i + 3], 255);
        benchmark::DoNotOptimize(px.data());
    }
}
BENCHMARK(BM_draw_line_alpha)->Unit(benchmark::kMillisecond);

// One region covering the image: argument 0 an open area, 1 a mesh of one-pixel corridors
// (millions of pending segments). Each run fills the region back to the other value.
void BM_flood_fill(benchmark::State& state) {
    std::vector<uint32_t> px(size_t(kWidth) * kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            px[size_t(y) * kWidth + x] = state.range(0) == 0 || x % 2 == 0 || y % 2 == 0 ? 1 : 9;
    uint32_t value = 2;
    for (auto _ : state) {
        if (!flood_fill(reinterpret_cast<uint8_t*>(px.data()), kWidth, kHeight, kWidth * 4, 0, 0, value))
            state.SkipWithError("out of memory");
        value = value == 2 ? 1 : 2;
        benchmark::DoNotOptimize(px.data());
    }
}
BENCHMARK(BM_flood_fill)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Sizes in tenths: the smallest cell, the catalogue's usual range.
void BM_color_halftone(benchmark::State& state) {
    std::vector<uint8_t> dst(photo().size());
    for (auto _ : state) {
        if (!color_halftone(photo().data(), dst.data(), kWidth, kHeight, float(state.range(0)) / 10))
            state.SkipWithError("out of memory");
        benchmark::DoNotOptimize(dst.data());
    }
}
BENCHMARK(BM_color_halftone)->Arg(10)->Arg(35)->Arg(80)->Unit(benchmark::kMillisecond);

// The catalogue's settings: blur 10, levels 16 and 48, neutral and doubled contrast.
void BM_smart_posterize(benchmark::State& state) {
    std::vector<uint8_t> dst(photo().size());
    for (auto _ : state) {
        if (!smart_posterize(photo().data(), dst.data(), kWidth, kHeight, int(state.range(0)), 10,
                             int(state.range(1))))
            state.SkipWithError("out of memory");
        benchmark::DoNotOptimize(dst.data());
    }
}
BENCHMARK(BM_smart_posterize)->Args({16, 256})->Args({48, 512})->Unit(benchmark::kMillisecond);

} // namespace
