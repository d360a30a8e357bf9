// Drawing a 16-megapixel photo as the engine does when it builds its working image and its
// preview, and the hand-over swizzle. "ms_per_MP" is wall time per megapixel of the source
// (the console writes it with SI prefixes: 634.2m is 0.6342 ms).
#include "platform/graphics/Drawing.h"
#include "platform/graphics/PixelConversion.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

using namespace graphics;

namespace {

constexpr int kWidth = 4608, kHeight = 3456; // 15.9 megapixels

const ImagePtr& photo() {
    static const ImagePtr image = [] {
        std::vector<uint8_t> pixels(size_t(kWidth) * kHeight * 4);
        for (size_t i = 0; i < pixels.size(); i += 4) {
            pixels[i] = uint8_t(i * 7);
            pixels[i + 1] = uint8_t(i >> 12);
            pixels[i + 2] = uint8_t(i >> 5);
            pixels[i + 3] = 255;
        }
        return Image::copy(pixels.data(), kWidth, kHeight, size_t(kWidth) * 4, PixelFormat{});
    }();
    return image;
}

// Runs step once per iteration and reports its wall time per source megapixel.
template <typename Step> void timePerMegapixel(benchmark::State& state, Step step) {
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        step();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    const double megapixels = double(kWidth) * kHeight / 1e6;
    state.counters["ms_per_MP"] = seconds * 1000 / double(state.iterations()) / megapixels;
}

void drawInto(benchmark::State& state, int width, int height) {
    const ImagePtr& image = photo();
    std::vector<uint8_t> buffer(size_t(width) * height * 4);
    auto ctx =
        BitmapContext::create(buffer.data(), width, height, 8, size_t(width) * 4, kBitmapInfoNoneSkipFirst);
    timePerMegapixel(state, [&] {
        drawImage(*ctx, Rect(0, 0, width, height), image);
        benchmark::DoNotOptimize(buffer.data());
    });
}

void BM_DrawSameSize(benchmark::State& state) {
    drawInto(state, kWidth, kHeight);
}

// The preview of the high quality setting is fitted by height to 768 rows: step 4.
void BM_DrawReduceToPreview(benchmark::State& state) {
    drawInto(state, kWidth / 4, kHeight / 4);
}

void BM_ConvertToToolkitLayout(benchmark::State& state) {
    using enum Channel;
    const ImagePtr& image = photo();
    std::vector<uint8_t> out(size_t(kWidth) * kHeight * 4);
    timePerMegapixel(state, [&] {
        convertPixels(image->data(), image->rowBytes(), image->format(), out.data(), size_t(kWidth) * 4,
                      PixelFormat{8, {B, G, R, A}, true}, kWidth, kHeight);
        benchmark::DoNotOptimize(out.data());
    });
}

} // namespace

BENCHMARK(BM_DrawSameSize)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DrawReduceToPreview)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ConvertToToolkitLayout)->Unit(benchmark::kMillisecond)->UseRealTime();
