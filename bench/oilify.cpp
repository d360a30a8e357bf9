// The oil-paint look's kernel on a 16-megapixel picture, at the look's default size (disc radius 5)
// and at its largest (radius 25), single-threaded and on every hardware thread (second argument 1
// or 0), in milliseconds per megapixel. The bytes are the same at every thread count.
#include "kernels/paint/oilify.h"
#include "platform/graphics/ParallelRows.h"

#include "BenchPhoto.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

namespace {

void BM_oilify(benchmark::State& state) {
    graphics::setParallelThreads(unsigned(state.range(1)));
    std::vector<uint8_t> dst(bench::photo().size());
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (!oilify(bench::photo().data(), dst.data(), bench::kPhotoWidth, bench::kPhotoHeight,
                    float(state.range(0))))
            state.SkipWithError("out of memory");
        benchmark::DoNotOptimize(dst.data());
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    graphics::setParallelThreads(0);
    state.counters["ms_per_MP"] =
        seconds * 1e3 / double(state.iterations()) / (double(bench::kPhotoWidth) * bench::kPhotoHeight / 1e6);
}
// "Size" 0.2 (default) and 1.0 of the look: sizes 10 and 50.
BENCHMARK(BM_oilify)->ArgsProduct({{10, 50}, {1, 0}})->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
