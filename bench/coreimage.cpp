// The mask blend the effect manager runs on every result, against a hand-written single pass
// over the same buffers on all cores; and a brush dab composed into a 2-megapixel accumulator,
// which must cost the dab's square, not the canvas. "ms_per_MP" is wall time per megapixel of
// output (the console writes it with SI prefixes: 634.2m is 0.6342 ms).
#include "platform/coreimage/Context.h"
#include "platform/coreimage/Filter.h"
#include "platform/coreimage/ImageAccumulator.h"
#include "platform/graphics/ParallelRows.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

using namespace coreimage;

namespace {

constexpr int kWidth = 4608, kHeight = 3456; // 15.9 megapixels

const graphics::PixelFormat kRGBA8{
    8, {graphics::Channel::R, graphics::Channel::G, graphics::Channel::B, graphics::Channel::A}, true};

graphics::ImagePtr picture(int seed) {
    std::vector<uint8_t> pixels(size_t(kWidth) * kHeight * 4);
    for (size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i] = uint8_t(i * 7 + size_t(seed));
        pixels[i + 1] = uint8_t((i >> 12) + size_t(seed) * 3);
        pixels[i + 2] = uint8_t(i >> 5);
        pixels[i + 3] = 255;
    }
    return graphics::Image::copy(pixels.data(), kWidth, kHeight, size_t(kWidth) * 4, kRGBA8);
}

struct Inputs {
    graphics::ImagePtr effect = picture(1), original = picture(2), mask = picture(3);
};

const Inputs& inputs() {
    static const Inputs in;
    return in;
}

template <typename Step> void timePerMegapixel(benchmark::State& state, double megapixels, Step step) {
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        step();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["ms_per_MP"] = seconds * 1000 / double(state.iterations()) / megapixels;
}

void BM_BlendWithMaskFilter(benchmark::State& state) {
    const Inputs& in = inputs();
    std::vector<uint8_t> out(size_t(kWidth) * kHeight * 4);
    const Context context;
    timePerMegapixel(state, double(kWidth) * kHeight / 1e6, [&] {
        // The recipe is made per run, as the manager does.
        FilterPtr blend = Filter::filterWithName("CIBlendWithMask");
        blend->setValue("inputImage", Image::imageWithCGImage(in.effect));
        blend->setValue("inputBackgroundImage", Image::imageWithCGImage(in.original));
        blend->setValue("inputMaskImage", Image::imageWithCGImage(in.mask));
        context.render(blend->outputImage(), out.data(), size_t(kWidth) * 4,
                       graphics::Rect(0, 0, kWidth, kHeight), kRGBA8);
        benchmark::DoNotOptimize(out.data());
    });
}

// The same blend written by hand on 8-bit bytes: fg.m + bg.(255 - m), rounded.
void BM_BlendWithMaskHandWritten(benchmark::State& state) {
    const Inputs& in = inputs();
    std::vector<uint8_t> out(size_t(kWidth) * kHeight * 4);
    const uint8_t* f = in.effect->data();
    const uint8_t* b = in.original->data();
    const uint8_t* m = in.mask->data();
    uint8_t* d = out.data();
    timePerMegapixel(state, double(kWidth) * kHeight / 1e6, [&] {
        graphics::parallelRows(kHeight, kWidth, [=](int first, int end) {
            for (size_t i = size_t(first) * kWidth * 4; i < size_t(end) * kWidth * 4; i += 4) {
                const unsigned w = m[i + 1];
                for (size_t k = 0; k < 4; ++k)
                    d[i + k] = uint8_t((f[i + k] * w + b[i + k] * (255 - w) + 127) / 255);
            }
        });
        benchmark::DoNotOptimize(out.data());
    });
}

// One dab of the brush: a white disc-sized square composed over the stroke buffer, written
// back through its dirty rectangle (range 0) or over the whole canvas (range 1).
void BM_DabIntoAccumulator(benchmark::State& state) {
    const graphics::Rect canvas(0, 0, 1632, 1224);
    auto acc = ImageAccumulator::imageAccumulatorWithExtent(canvas, kRGBA8);
    acc->setImage(Image::imageWithColor({0, 0, 0, 1}));
    const graphics::Rect square(700, 500, 200, 200);
    const ImagePtr dab = Image::imageWithColor({1, 1, 1, 0.5})->imageByCroppingToRect(square);
    FilterPtr over = Filter::filterWithName("CISourceOverCompositing");
    over->setValue("inputImage", dab);
    const bool whole = state.range(0) == 1;
    timePerMegapixel(state, square.width() * square.height() / 1e6, [&] {
        over->setValue("inputBackgroundImage", acc->image());
        if (whole)
            acc->setImage(over->outputImage());
        else
            acc->setImage(over->outputImage(), square);
    });
}

} // namespace

BENCHMARK(BM_BlendWithMaskFilter)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BlendWithMaskHandWritten)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DabIntoAccumulator)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
