// The painterly kernels on a 16-megapixel image.
#include "kernels/blur/stack_blur.h"
#include "kernels/paint/oilify.h"
#include "kernels/paint/watercolor.h"
#include "kernels/regions/fill_color_island.h"

#include "BenchPhoto.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr int kWidth = bench::kPhotoWidth;
constexpr int kHeight = bench::kPhotoHeight;

using bench::photo;

void BM_oilify(benchmark::State& state) {
    std::vector<uint8_t> dst(photo().size());
    for (auto _ : state) {
        if (!oilify(photo().data(), dst.data(), kWidth, kHeight, float(state.range(0))))
            state.SkipWithError("out of memory");
        benchmark::DoNotOptimize(dst.data());
    }
}
BENCHMARK(BM_oilify)->Arg(10)->Arg(24)->Unit(benchmark::kMillisecond);

void BM_watercolor(benchmark::State& state) {
    std::vector<uint8_t> dst(photo().size());
    for (auto _ : state) {
        watercolor(photo().data(), dst.data(), kWidth, kHeight, int(state.range(0)));
        benchmark::DoNotOptimize(dst.data());
    }
}
BENCHMARK(BM_watercolor)->Arg(10)->Unit(benchmark::kMillisecond);

void BM_fill_color_island(benchmark::State& state) {
    std::vector<uint8_t> data(photo().size());
    for (auto _ : state) {
        state.PauseTiming();
        data = photo();
        state.ResumeTiming();
        fill_color_island(data.data(), kWidth, kHeight, kWidth * 4, kWidth / 2, kHeight / 2);
        benchmark::DoNotOptimize(data.data());
    }
}
BENCHMARK(BM_fill_color_island)->Unit(benchmark::kMillisecond);

void BM_stack_blur(benchmark::State& state) {
    std::vector<uint32_t> px(size_t(kWidth) * kHeight);
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(px.data(), photo().data(), photo().size());
        state.ResumeTiming();
        stack_blur(px.data(), kWidth, kHeight, int(state.range(0)));
        benchmark::DoNotOptimize(px.data());
    }
}
BENCHMARK(BM_stack_blur)->Arg(4)->Arg(40)->Unit(benchmark::kMillisecond);

} // namespace
