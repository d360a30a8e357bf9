// Voronoi edges of the mosaic's jittered seeds on a 16-megapixel photo, by cell size.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

#include "kernels/regions/voronoi.h"

namespace {

constexpr int kWidth = 4896;
constexpr int kHeight = 3264;

std::vector<float> mosaicSeeds(int cell) {
    std::mt19937 rng(1);
    const int half = (cell - 1) / 2;
    std::vector<float> pts;
    for (int gy = 0; gy < kHeight; gy += cell)
        for (int gx = 0; gx < kWidth; gx += cell) {
            const int rx = int(rng() % unsigned(cell - 1));
            const int ry = int(rng() % unsigned(cell - 1));
            pts.push_back(float(std::clamp(gx - half + rx, 0, kWidth - 1)));
            pts.push_back(float(std::clamp(gy - half + ry, 0, kHeight - 1)));
        }
    return pts;
}

void BM_VoronoiMosaic(benchmark::State& state) {
    const auto pts = mosaicSeeds(int(state.range(0)));
    const int n = int(pts.size() / 2);
    for (auto _ : state) {
        int count = 0;
        std::unique_ptr<float[]> edges(voronoi_process(pts.data(), n, &count, kWidth, kHeight));
        benchmark::DoNotOptimize(edges.get());
    }
    state.counters["sites"] = n;
}

} // namespace

// Cell sizes 4 (smallest), 9 (default) and 54 (largest).
BENCHMARK(BM_VoronoiMosaic)->Arg(4)->Arg(9)->Arg(54)->Unit(benchmark::kMillisecond);
