// Radial and vertical variable-radius blurs on a 16-megapixel photo at the focus effect's
// default and strongest settings.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "kernels/blur/special_blur.h"

namespace {

constexpr int kWidth = 4896;
constexpr int kHeight = 3264;
constexpr int kSharp = 195; // default range 0.04 of the longer side

struct Photo {
    std::vector<uint8_t> src, dst;
    Photo() : src(size_t(kWidth) * kHeight * 4), dst(src.size()) {
        std::mt19937 rng(1);
        for (auto& v : src)
            v = uint8_t(rng());
    }
};

void BM_BlurRadial(benchmark::State& state) {
    static Photo photo;
    const int limit = int(state.range(0));
    for (auto _ : state) {
        blur_radial_argb(photo.src.data(), photo.dst.data(), kWidth, kHeight, 4 * kWidth, 4 * kWidth,
                         kWidth / 2, kHeight / 2, limit, kSharp);
        benchmark::ClobberMemory();
    }
}

void BM_BlurVertical(benchmark::State& state) {
    static Photo photo;
    const int limit = int(state.range(0));
    for (auto _ : state) {
        blur_vertical_argb(photo.src.data(), photo.dst.data(), kWidth, kHeight, 4 * kWidth, 4 * kWidth,
                           kHeight / 2, limit, kSharp);
        benchmark::ClobberMemory();
    }
}

} // namespace

// Limits at the default amounts (326 radial, 90 vertical) and at the strongest (816).
BENCHMARK(BM_BlurRadial)->Arg(326)->Arg(816)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BlurVertical)->Arg(90)->Arg(816)->Unit(benchmark::kMillisecond);
