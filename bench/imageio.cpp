// Opening and saving a 16-megapixel JPEG: decoding it as stored, reading it upright as the editor
// does, encoding it at quality 0.9, its 160-pixel thumbnail, and the whole round trip against
// OpenImageIO's own oiiotool ("ratio" our time over oiiotool's: at most 1 is the goal). The photo
// is generated once in a temporary folder, or read from OPALENE_BENCH_JPEG when that names a file.
// bench/peer_decode.py times OpenCV and libvips on the same file.
#include "platform/imageio/ImageDestination.h"
#include "platform/imageio/ImageSource.h"

#include <OpenImageIO/imageio.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <vector>

namespace {

constexpr int kWidth = 4608, kHeight = 3456; // 15.9 megapixels

const std::filesystem::path& folder() {
    static const std::filesystem::path path = [] {
        auto p = std::filesystem::temp_directory_path() / "opalene-bench-imageio";
        std::filesystem::create_directories(p);
        return p;
    }();
    return path;
}

// Smooth shapes plus sensor-like noise, so the encoder works as hard as on a photo.
const std::string& photo() {
    static const std::string path = [] {
        if (const char* given = std::getenv("OPALENE_BENCH_JPEG");
            given && std::filesystem::is_regular_file(given))
            return std::string(given);
        const std::string file = (folder() / "photo.jpg").string();
        std::vector<uint8_t> pixels(size_t(kWidth) * kHeight * 3);
        std::mt19937 random(1);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                uint8_t* p = &pixels[(size_t(y) * kWidth + x) * 3];
                const int noise = int(random() % 17) - 8;
                p[0] = uint8_t(std::clamp((x * 255) / kWidth + noise, 0, 255));
                p[1] = uint8_t(std::clamp(((x ^ y) & 255) / 2 + 64 + noise, 0, 255));
                p[2] = uint8_t(std::clamp((y * 255) / kHeight + noise, 0, 255));
            }
        auto out = OIIO::ImageOutput::create(file);
        OIIO::ImageSpec spec(kWidth, kHeight, 3, OIIO::TypeDesc::UINT8);
        spec.attribute("Compression", "jpeg:95");
        out->open(file, spec);
        out->write_image(OIIO::TypeDesc::UINT8, pixels.data());
        out->close();
        return file;
    }();
    return path;
}

double seconds(auto&& step) {
    const auto start = std::chrono::steady_clock::now();
    step();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void openAndSave() {
    auto source = imageio::ImageSource::createWithPath(photo());
    auto image = source->createImage();
    auto destination =
        imageio::ImageDestination::createWithPath((folder() / "ours.jpg").string(), "public.jpeg");
    destination->addImage(image, {{imageio::kLossyCompressionQuality, 0.9}});
    if (!destination->finalize()) std::abort();
}

void oiiotool() {
    const std::string command =
        "oiiotool " + photo() + " -o:compression=jpeg:90 " + (folder() / "oiiotool.jpg").string();
    if (std::system(command.c_str()) != 0) std::abort();
}

void BM_DecodeEncodeJPEG16MP(benchmark::State& state) {
    photo();
    double ours = 0, theirs = 0;
    for (auto _ : state) {
        ours += seconds(openAndSave);
        theirs += seconds(oiiotool);
    }
    const double n = double(state.iterations());
    state.counters["ours_s"] = ours / n;
    state.counters["oiiotool_s"] = theirs / n;
    state.counters["ratio"] = ours / theirs;
}
BENCHMARK(BM_DecodeEncodeJPEG16MP)->Unit(benchmark::kMillisecond)->Iterations(5);

// The file's pixels as stored, from the path (the header read included).
void BM_DecodeJPEG16MP(benchmark::State& state) {
    photo();
    for (auto _ : state) {
        auto source = imageio::ImageSource::createWithPath(photo());
        benchmark::DoNotOptimize(source->createImage());
    }
}
BENCHMARK(BM_DecodeJPEG16MP)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();

// What the editor reads on opening: the whole picture upright.
void BM_ReadUprightJPEG16MP(benchmark::State& state) {
    photo();
    for (auto _ : state) {
        auto source = imageio::ImageSource::createWithPath(photo());
        benchmark::DoNotOptimize(source->createThumbnail(0));
    }
}
BENCHMARK(BM_ReadUprightJPEG16MP)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();

void BM_EncodeJPEG16MP(benchmark::State& state) {
    const graphics::ImagePtr image = imageio::ImageSource::createWithPath(photo())->createImage();
    const std::string out = (folder() / "encoded.jpg").string();
    for (auto _ : state) {
        auto destination = imageio::ImageDestination::createWithPath(out, "public.jpeg");
        destination->addImage(image, {{imageio::kLossyCompressionQuality, 0.9}});
        if (!destination->finalize()) std::abort();
    }
}
BENCHMARK(BM_EncodeJPEG16MP)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();

void BM_Thumbnail160(benchmark::State& state) {
    auto source = imageio::ImageSource::createWithPath(photo());
    for (auto _ : state)
        benchmark::DoNotOptimize(source->createThumbnail(160));
}
BENCHMARK(BM_Thumbnail160)->Unit(benchmark::kMillisecond);

} // namespace
