#pragma once
// The 16-megapixel picture the benchmarks run on: smooth gradients and soft shapes with a little
// grain, so regions, classes and edges behave as they would on a photograph rather than on noise.
// X,R,G,B bytes with byte 0 opaque, as in the working image. Header only.
#include "platform/graphics/Image.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace bench {

constexpr int kPhotoWidth = 4096;
constexpr int kPhotoHeight = 4096;

// The picture at any size; `texture` scales the grain, for files that compress as a detailed
// photograph does.
inline std::vector<uint8_t> photoPixels(int width, int height, int texture = 1) {
    std::vector<uint8_t> px(size_t(width) * height * 4);
    uint32_t seed = 12345;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int grain = (int(seed >> 29) - 4) * texture;
            const double wave = std::sin(x * 0.003) * std::cos(y * 0.002);
            const int shape = ((x / 512 + y / 384) % 3) * 40;
            uint8_t* p = &px[(size_t(y) * width + x) * 4];
            p[0] = 255;
            p[1] = uint8_t(std::clamp(60 + shape + int(80 * wave) + grain, 0, 255));
            p[2] = uint8_t(std::clamp(90 + x * 100 / width + grain, 0, 255));
            p[3] = uint8_t(std::clamp(140 - shape / 2 + y * 80 / height + grain, 0, 255));
        }
    }
    return px;
}

inline const std::vector<uint8_t>& photo() {
    static const std::vector<uint8_t> pixels = photoPixels(kPhotoWidth, kPhotoHeight);
    return pixels;
}

// The picture as an image, at the benchmarks' size or another.
inline graphics::ImagePtr photoImage(int width = kPhotoWidth, int height = kPhotoHeight, int texture = 1) {
    const graphics::PixelFormat xrgb{
        8, {graphics::Channel::A, graphics::Channel::R, graphics::Channel::G, graphics::Channel::B}, false};
    if (width == kPhotoWidth && height == kPhotoHeight && texture == 1)
        return graphics::Image::copy(photo().data(), width, height, size_t(width) * 4, xrgb);
    const std::vector<uint8_t> pixels = photoPixels(width, height, texture);
    return graphics::Image::copy(pixels.data(), width, height, size_t(width) * 4, xrgb);
}

} // namespace bench
