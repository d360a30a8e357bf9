// The catalogue's glow looks ("Glow Vivid Color", "Sepia Glow") at full size on a 16-megapixel
// working image, in milliseconds per megapixel, on every hardware thread and on one (second
// argument 0 or 1). Beside them, the gaussian both looks use made texel by texel with the
// per-pixel passes, as the pixel loop would make it without the whole-grid form.

#include "engine/PostProcess.h"
#include "engine/effects/glow/PP_Bloom1.h"
#include "kernels/blur/GaussianBlur.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/ParallelRows.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <vector>

namespace {

constexpr int kSide = 4096;
constexpr double kMegapixels = double(kSide) * kSide / 1e6;

const graphics::ImagePtr& photo() {
    static const graphics::ImagePtr image = [] {
        std::vector<uint8_t> p(size_t(kSide) * kSide * 4);
        uint32_t s = 12345;
        for (size_t i = 0; i < p.size(); i += 4) {
            // Smooth gradients with some noise, opaque.
            const size_t x = (i / 4) % kSide, y = (i / 4) / kSide;
            s = s * 1664525u + 1013904223u;
            p[i] = uint8_t((x + (s >> 28)) / 16);
            p[i + 1] = uint8_t((y + (s >> 27)) / 16);
            p[i + 2] = uint8_t((x + y) / 32);
            p[i + 3] = 255;
        }
        return graphics::Image::copy(p.data(), kSide, kSide, size_t(kSide) * 4, graphics::PixelFormat{});
    }();
    return image;
}

// A fresh working image, outside the timing: a full-size run replaces it with its result.
void freshWorkingImage() {
    PostProcess::global_clean();
    PostProcess::global_pre_init(photo());
}

void BM_Glow(benchmark::State& state) {
    graphics::setParallelThreads(unsigned(state.range(1)));
    PP_Bloom1 glow;
    glow.set_type(int32_t(state.range(0)));
    glow.set_silent_mode(true);
    double seconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        freshWorkingImage();
        glow.prepare(photo());
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        glow.process();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.SetLabel(glow.get_name());
    state.counters["ms_per_MP"] = seconds * 1e3 / double(state.iterations()) / kMegapixels;
    graphics::setParallelThreads(0);
}
BENCHMARK(BM_Glow)->ArgsProduct({{0, 3}, {0, 1}})->Unit(benchmark::kMillisecond)->UseRealTime();

// Radius 40, the glow radius at this width.
void BM_GaussianTexelByTexel(benchmark::State& state) {
    freshWorkingImage();
    texture_t* tex = tex_create_empty(kSide, kSide, 4);
    GaussianBlur* blur = GaussianBlur::sharedGaussianBlur();
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        for (int x = 0; x < kSide; ++x)
            for (int y = 0; y < kSide; ++y)
                blur->gaussianBlurFirstPassForData(PostProcess::gp_data, tex, 40, 1, x, y);
        float sum = 0;
        for (int x = 0; x < kSide; ++x)
            for (int y = 0; y < kSide; ++y)
                sum += blur->gaussianBlurSecondPassForTexture(tex, 40, 1, x, y).red;
        benchmark::DoNotOptimize(sum);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    tex_free(tex);
    state.counters["ms_per_MP"] = seconds * 1e3 / double(state.iterations()) / kMegapixels;
}
BENCHMARK(BM_GaussianTexelByTexel)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
