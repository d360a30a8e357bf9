// The effect run loop's own cost: a copy effect over a 16-megapixel working image, at full size and
// into the preview, through its pixel hook (CopyEffect) and through the levels of its colour
// (LevelCopyEffect), beside plain loops that make the same bytes without hooks, progress or cancel
// checks. CPU time is the whole process's, all threads. "ms_per_MP" is wall time per megapixel of the working
// image (the console writes it with SI prefixes: 634.2m is 0.6342 ms); "vs_plain" divides a run's time by the
// single-threaded plain loop's, rows outer. Argument 1 lets the copy effect's pixels run on eight threads.
#include "engine/LevelRows.h"
#include "engine/PixelRows.h"
#include "platform/graphics/ParallelRows.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kSide = 4096; // 16.8 megapixels

class CopyEffect final : public PixelRows<CopyEffect> {
  public:
    bool independent = false;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t) override { return get_source_pixel(x, y); }
    bool pixels_are_independent() override { return independent; }
};

class LevelCopyEffect final : public LevelRows<LevelCopyEffect> {
  public:
    bool independent = false;
    pixel_t colour(const pixel_t& source) const { return source; }
    bool pixels_are_independent() override { return independent; }
};

void buildWorkingImage() {
    if (PostProcess::g_global_pre_inited) return;
    std::vector<uint8_t> pixels(size_t(kSide) * kSide * 4);
    for (size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i] = uint8_t(i * 7);
        pixels[i + 1] = uint8_t(i >> 12);
        pixels[i + 2] = uint8_t(i >> 5);
        pixels[i + 3] = 255;
    }
    PostProcess::g_preview_quality = 1;
    PostProcess::global_pre_init(graphics::Image::copy(pixels.data(), kSide, kSide, size_t(kSide) * 4, {}));
}

uint8_t toByte(float v) {
    if (v < 0.0f) return 0;
    if (v > 1.0f) return 255;
    if (v != v) return 0;
    return uint8_t(v * 255.0f);
}

// What the copy effect's run writes, without the run loop.
void plainCopy(uint8_t* out, bool columnsOuter) {
    const int w = PostProcess::g_width, h = PostProcess::g_height;
    const auto one = [&](int x, int y) {
        const size_t i = (size_t(y) * size_t(w) + size_t(x)) * 4;
        const uint8_t* s = PostProcess::gp_data + i;
        constexpr float k = 1.0f / 255.0f;
        out[i] = s[0];
        out[i + 1] = s[0] ? toByte(float(s[1]) * k) : 0;
        out[i + 2] = s[0] ? toByte(float(s[2]) * k) : 0;
        out[i + 3] = s[0] ? toByte(float(s[3]) * k) : 0;
    };
    if (columnsOuter) {
        for (int x = 0; x < w; ++x)
            for (int y = 0; y < h; ++y)
                one(x, y);
    } else {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                one(x, y);
    }
}

template <typename Step> double secondsOf(Step step) {
    const auto start = std::chrono::steady_clock::now();
    step();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Best of three runs of the plain loop, rows outer.
double plainRowsSeconds() {
    static const double seconds = [] {
        std::vector<uint8_t> out(size_t(kSide) * kSide * 4);
        double best = 1e9;
        for (int i = 0; i < 3; ++i)
            best = std::min(best, secondsOf([&] { plainCopy(out.data(), false); }));
        return best;
    }();
    return seconds;
}

template <typename Step> void report(benchmark::State& state, Step step, bool compare) {
    double seconds = 0;
    for (auto _ : state)
        seconds += secondsOf(step);
    const double perRun = seconds / double(state.iterations());
    state.counters["ms_per_MP"] = perRun * 1000 / (double(kSide) * kSide / 1e6);
    if (compare) state.counters["vs_plain"] = perRun / plainRowsSeconds();
}

template <class Effect> void BM_RunLoopFullSize(benchmark::State& state) {
    buildWorkingImage();
    Effect effect;
    effect.independent = state.range(0) != 0;
    graphics::setParallelThreads(effect.independent ? 8 : 1);
    effect.set_silent_mode(true);
    report(
        state, [&] { effect.process(); }, true);
}
BENCHMARK_TEMPLATE(BM_RunLoopFullSize, CopyEffect)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK_TEMPLATE(BM_RunLoopFullSize, LevelCopyEffect)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

// Step 5: a 25th of the pixels, into the preview buffer.
template <class Effect> void BM_RunLoopPreview(benchmark::State& state) {
    buildWorkingImage();
    Effect effect;
    effect.independent = state.range(0) != 0;
    graphics::setParallelThreads(effect.independent ? 8 : 1);
    effect.set_silent_mode(true);
    report(
        state,
        [&] {
            effect.set_preview_mode(true);
            effect.process();
        },
        false);
    state.counters["step"] = PostProcess::g_preview_step_x;
}
BENCHMARK_TEMPLATE(BM_RunLoopPreview, CopyEffect)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK_TEMPLATE(BM_RunLoopPreview, LevelCopyEffect)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

void BM_PlainCopy(benchmark::State& state) {
    buildWorkingImage();
    const bool columnsOuter = state.range(0) != 0;
    std::vector<uint8_t> out(size_t(kSide) * kSide * 4);
    report(
        state,
        [&] {
            plainCopy(out.data(), columnsOuter);
            benchmark::DoNotOptimize(out.data());
        },
        false);
    state.SetLabel(columnsOuter ? "columns outer" : "rows outer");
}
BENCHMARK(BM_PlainCopy)
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

} // namespace
