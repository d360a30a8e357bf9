// The painterly kernels on a 16-megapixel image.
#include "kernels/fill_color_island.h"
#include "kernels/oilify.h"
#include "kernels/stack_blur.h"
#include "kernels/watercolor.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr int kWidth = 4096;
constexpr int kHeight = 4096;

// Photo-like content: smooth gradients and soft shapes with a little grain, so that regions
// and intensity classes behave as they would on a picture rather than on noise.
const std::vector<uint8_t>& photo() {
    static const std::vector<uint8_t> pixels = [] {
        std::vector<uint8_t> px(size_t(kWidth) * kHeight * 4);
        uint32_t seed = 12345;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                seed = seed * 1664525u + 1013904223u;
                const int grain = int(seed >> 29) - 4;
                const double wave = std::sin(x * 0.003) * std::cos(y * 0.002);
                const int shape = ((x / 512 + y / 384) % 3) * 40;
                uint8_t* p = &px[(size_t(y) * kWidth + x) * 4];
                p[0] = 255;
                p[1] = uint8_t(std::clamp(60 + shape + int(80 * wave) + grain, 0, 255));
                p[2] = uint8_t(std::clamp(90 + x * 100 / kWidth + grain, 0, 255));
                p[3] = uint8_t(std::clamp(140 - shape / 2 + y * 80 / kHeight + grain, 0, 255));
            }
        }
        return px;
    }();
    return pixels;
}

void BM_oilify(benchmark::State& state) {
    std::vector<uint8_t> dst(photo().size());
    for (auto _ : state) {
        oilify(photo().data(), dst.data(), kWidth, kHeight, float(state.range(0)));
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
