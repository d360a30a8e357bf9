// The frame effect over the 16-megapixel look picture, with a frame set written at start into a
// temporary main bundle (40 x 40 corners, 120 x 40 and 40 x 120 strips, PNG). One row per way of
// framing; "ms_per_MP" is wall time of the whole-image call per megapixel of the picture.
#include "engine/PostProcessParameter.h"
#include "engine/effects/texture/PP_OV_Frame.h"
#include "platform/imageio/ImageDestination.h"

#include "LookBench.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// Pieces with a little structure, so that scaling and fading do real work.
void writePiece(const std::filesystem::path& folder, const std::string& piece, int w, int h) {
    std::vector<uint8_t> bytes(size_t(w) * size_t(h) * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &bytes[(size_t(y) * size_t(w) + size_t(x)) * 4];
            p[0] = uint8_t(90 + (x * 7) % 60);
            p[1] = uint8_t(60 + (y * 5) % 50);
            p[2] = uint8_t(30 + ((x + y) * 3) % 40);
            p[3] = 255;
        }
    auto destination = imageio::ImageDestination::createWithPath(
        (folder / ("f1_g1_" + piece + ".png")).string(), "public.png");
    if (!destination) return;
    destination->addImage(graphics::Image::copy(bytes.data(), w, h, size_t(w) * 4, graphics::PixelFormat{}),
                          {});
    destination->finalize();
}

// Made before any bundle is asked for: the bundles are fixed at the first request.
const std::filesystem::path& frameBundle() {
    static const std::filesystem::path folder = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "opalene-bench-frame-XXXXXX").string();
        if (!mkdtemp(pattern.data())) return std::filesystem::path();
        const std::filesystem::path main = std::filesystem::path(pattern) / "share" / "opalene";
        std::filesystem::create_directories(main / "Textures.bundle");
        for (const char* corner : {"ul", "ur", "dl", "dr"})
            writePiece(main, corner, 40, 40);
        writePiece(main, "u", 120, 40);
        writePiece(main, "d", 120, 40);
        writePiece(main, "l", 40, 120);
        writePiece(main, "r", 40, 120);
        setenv("OPALENE_RESOURCES", main.c_str(), 1);
        std::atexit([] { std::filesystem::remove_all(frameBundle().parent_path().parent_path()); });
        return main;
    }();
    return folder;
}

// range(0): 0 around the picture, 1 over its edges; range(1): 1 for edge ornaments;
// range(2): 1 for the small preview.
void runFrame(benchmark::State& state) {
    frameBundle();
    PP_OV_Frame frame;
    frame.init({}, 0);
    frame.setup_name("Bench Frame", "Frames", 1, 1, state.range(0) != 0, state.range(1) == 0, 1.0f);
    frame.set_silent_mode(true);
    frame.setIsSmallPreview(state.range(2) != 0);
    frame.param_1()->setValue(100);
    const graphics::ImagePtr picture = bench::lookSource();
    double seconds = 0;
    for (auto _ : state) {
        frame.prepare(picture);
        const auto start = std::chrono::steady_clock::now();
        graphics::ImagePtr framed = frame.custom_process_function();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        benchmark::DoNotOptimize(framed);
        if (!framed) state.SkipWithError("no framed image");
    }
    const double megapixels = double(bench::kLookSide) * bench::kLookSide / 1e6;
    state.counters["ms_per_MP"] = seconds / double(state.iterations()) * 1000 / megapixels;
}

} // namespace

BENCHMARK(runFrame)
    ->ArgNames({"under", "ornaments", "small"})
    ->Args({0, 0, 0})
    ->Args({1, 0, 0})
    ->Args({0, 1, 0})
    ->Args({0, 0, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
