#pragma once
// A main bundle and its shared resources bundle in a temporary folder, made the process's bundles
// (OPALENE_RESOURCES) while it lives, with picture files written into them. For suites that link
// the image-file layer.
#include "support/ScopedEnvironment.h"
#include "support/TemporaryDirectory.h"

#include "platform/imageio/ImageDestination.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

class TestBundle {
  public:
    TestBundle() {
        std::filesystem::create_directories(shared());
        environment_.set("OPALENE_RESOURCES", main().string());
    }

    std::filesystem::path main() const { return dir_.path() / "share" / "opalene"; }
    std::filesystem::path shared() const { return main() / "Textures.bundle"; }

    // An opaque width x height picture of one colour, as PNG or JPEG after the file's extension.
    static void writePicture(const std::filesystem::path& file, int width, int height, uint8_t r, uint8_t g,
                             uint8_t b) {
        writePicture(file, width, height, [=](int, int) { return std::array<uint8_t, 3>{r, g, b}; });
    }

    // The same with pixel (x, y) (row 0 on top) coloured {r, g, b} = colour(x, y).
    static void writePicture(const std::filesystem::path& file, int width, int height,
                             const std::function<std::array<uint8_t, 3>(int x, int y)>& colour) {
        std::vector<uint8_t> bytes;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const std::array<uint8_t, 3> c = colour(x, y);
                bytes.insert(bytes.end(), {c[0], c[1], c[2], 255});
            }
        const std::string type = file.extension() == ".png" ? "public.png" : "public.jpeg";
        auto destination = imageio::ImageDestination::createWithPath(file.string(), type);
        ASSERT_NE(destination, nullptr) << file;
        destination->addImage(
            graphics::Image::copy(bytes.data(), width, height, size_t(width) * 4, graphics::PixelFormat{}),
            {});
        ASSERT_TRUE(destination->finalize()) << file;
    }

    // A file whose bytes are no picture.
    static void writeJunk(const std::filesystem::path& file) { std::ofstream(file) << "not a picture"; }

  private:
    TemporaryDirectory dir_;
    ScopedEnvironment environment_;
};
