// The catalogue's texture-blend looks as full-size runs over a 16-megapixel working image, texture
// decode and stretch included. "ms_per_MP" is wall time per megapixel (the console writes it with
// SI prefixes: 634.2m is 0.6342 ms).
#include "engine/PostProcess.h"
#include "engine/PostProcessesManager.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <vector>

namespace {

constexpr int kSide = 4096; // 16.8 megapixels

// A full-size run installs its result as the working image, so each run starts from this source.
graphics::ImagePtr sourceImage() {
    static const graphics::ImagePtr image = [] {
        std::vector<uint8_t> pixels(size_t(kSide) * kSide * 4);
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) {
                uint8_t* p = &pixels[(size_t(y) * kSide + size_t(x)) * 4];
                p[0] = uint8_t(x / 16);
                p[1] = uint8_t(y / 16);
                p[2] = uint8_t((x + y) / 32 + (x * y) % 7);
                p[3] = 255;
            }
        return graphics::Image::copy(pixels.data(), kSide, kSide, size_t(kSide) * 4, {});
    }();
    return image;
}

// The catalogue rows of the class, in catalogue order.
std::vector<std::unique_ptr<PostProcess>> looks() {
    std::vector<std::unique_ptr<PostProcess>> out;
    for (const auto& entry : PostProcessesManager::catalogueEntries()) {
        std::unique_ptr<PostProcess> effect = entry(int32_t(out.size()));
        if (effect->class_name() == "PP_ImageFilter") out.push_back(std::move(effect));
    }
    return out;
}

void BM_Look(benchmark::State& state) {
    std::vector<std::unique_ptr<PostProcess>> all = looks();
    if (size_t(state.range(0)) >= all.size()) {
        state.SkipWithError("no such look");
        return;
    }
    PostProcess& effect = *all[size_t(state.range(0))];
    effect.set_silent_mode(true);
    state.SetLabel(effect.get_name());
    double seconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        PostProcess::global_clean();
        PostProcess::global_pre_init(sourceImage());
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        effect.process();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    PostProcess::global_clean();
    state.counters["ms_per_MP"] = seconds / double(state.iterations()) * 1000 / (double(kSide) * kSide / 1e6);
}

BENCHMARK(BM_Look)->DenseRange(0, 7)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
