// Box and gaussian blurs on a 16-megapixel ARGB photo, on one and on eight threads (second
// argument), in milliseconds per megapixel; gaussian radii 20 and 60 are sigma 11 and 34. When the vips
// command-line tool is installed, its gaussblur with the same sigma on the same image runs beside them; its
// time includes starting the program and reading and writing the image, shown by its plain copy.

#include "kernels/blur/fast_blur.h"
#include "kernels/blur/gaussian_blur.h"
#include "platform/graphics/ParallelRows.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 4912, kHeight = 3264;
constexpr double kMegapixels = double(kWidth) * kHeight / 1e6;

const std::vector<uint8_t>& photo() {
    static const std::vector<uint8_t> pixels = [] {
        std::vector<uint8_t> p(size_t(kWidth) * kHeight * 4);
        uint32_t s = 12345;
        for (auto& b : p)
            b = uint8_t((s = s * 1664525u + 1013904223u) >> 24);
        return p;
    }();
    return pixels;
}

// Runs body once per iteration and reports its wall time in milliseconds per megapixel.
template <typename Body> void measure(benchmark::State& state, Body body) {
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (!body()) return;
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["ms_per_MP"] = seconds * 1e3 / double(state.iterations()) / kMegapixels;
}

void BM_fast_blur_argb(benchmark::State& state) {
    const int r = int(state.range(0));
    graphics::setParallelThreads(unsigned(state.range(1)));
    std::vector<uint8_t> dst(photo().size());
    measure(state, [&] {
        const bool made =
            fast_blur_argb(photo().data(), dst.data(), kWidth, kHeight, 4 * kWidth, 4 * kWidth, r, r);
        benchmark::DoNotOptimize(dst.data());
        return made;
    });
}
BENCHMARK(BM_fast_blur_argb)
    ->ArgsProduct({{1, 5, 20, 60, 600}, {1, 8}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_gaussianBlurARGB(benchmark::State& state) {
    const unsigned r = unsigned(state.range(0));
    graphics::setParallelThreads(unsigned(state.range(1)));
    std::unique_ptr<float, decltype(&std::free)> table(gaussianMatrixForRadius(r), &std::free);
    const float* kernel = table.get() + (r - 1) * (2 * r + 1);
    std::vector<uint8_t> dst(photo().size());
    measure(state, [&] {
        const bool made =
            gaussianBlurARGB(photo().data(), dst.data(), kWidth, kHeight, kernel, int(2 * r + 1), 1);
        benchmark::DoNotOptimize(dst.data());
        return made;
    });
}
BENCHMARK(BM_gaussianBlurARGB)
    ->ArgsProduct({{5, 20, 60}, {1, 8}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The photo's colour bytes as a binary PPM for the vips tool, written once.
std::string photo_file() {
    static const std::string path = [] {
        const auto p = std::filesystem::temp_directory_path() / "opalene_bench_blur.ppm";
        std::unique_ptr<FILE, decltype(&std::fclose)> f(std::fopen(p.c_str(), "wb"), &std::fclose);
        if (!f) return std::string();
        std::fprintf(f.get(), "P6\n%d %d\n255\n", kWidth, kHeight);
        std::vector<uint8_t> rgb(size_t(kWidth) * kHeight * 3);
        for (size_t i = 0, n = size_t(kWidth) * kHeight; i < n; ++i)
            for (int c = 0; c < 3; ++c)
                rgb[3 * i + c] = photo()[4 * i + 1 + c];
        if (std::fwrite(rgb.data(), 1, rgb.size(), f.get()) != rgb.size()) return std::string();
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove(std::filesystem::temp_directory_path() / "opalene_bench_blur.ppm",
                                    ignored);
        });
        return p.string();
    }();
    return path;
}

bool have_vips() {
    return std::system("command -v vips >/dev/null 2>&1") == 0;
}

// Runs "vips <operation> <photo> <out> <arguments>" per iteration.
void run_vips(benchmark::State& state, const std::string& operation, const std::string& arguments) {
    if (!have_vips()) {
        state.SkipWithError("vips is not installed (package libvips-tools)");
        return;
    }
    const std::string in = photo_file();
    if (in.empty()) {
        state.SkipWithError("cannot write the photo for vips");
        return;
    }
    const std::string out = (std::filesystem::temp_directory_path() / "opalene_bench_blur_out.v").string();
    const std::string threads = std::to_string(state.range(1));
    const std::string command =
        "VIPS_CONCURRENCY=" + threads + " vips " + operation + " '" + in + "' '" + out + "' " + arguments;
    measure(state, [&] {
        if (std::system(command.c_str()) == 0) return true;
        state.SkipWithError(("failed: " + command).c_str());
        return false;
    });
    std::filesystem::remove(out);
}

// Our radius r has weights exp(-4 i^2 / (sqrt(2 pi) r^2)): sigma = r sqrt(sqrt(2 pi) / 8); its end
// weights are 0.2 of the centre, as vips' default minimum amplitude.
void BM_vips_gaussblur(benchmark::State& state) {
    const double sigma = double(state.range(0)) * std::sqrt(std::sqrt(2 * M_PI) / 8);
    run_vips(state, "gaussblur", std::to_string(sigma));
}
BENCHMARK(BM_vips_gaussblur)
    ->ArgsProduct({{5, 20, 60}, {1, 8}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_vips_copy(benchmark::State& state) {
    run_vips(state, "copy", "");
}
BENCHMARK(BM_vips_copy)->Args({0, 1})->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
