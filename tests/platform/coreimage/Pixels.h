#pragma once
// Small fixtures for the image-filter tests: bitmaps from listed bytes, renders to bytes.
#include "platform/coreimage/Context.h"
#include "platform/coreimage/Filter.h"
#include "platform/coreimage/Image.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace coreimage::test {

inline const graphics::PixelFormat kRGBA8{
    8, {graphics::Channel::R, graphics::Channel::G, graphics::Channel::B, graphics::Channel::A}, false};

// A bitmap of RGBA bytes (not premultiplied unless the format says), top row first.
inline graphics::ImagePtr bitmap(int width, int height, const std::vector<uint8_t>& bytes,
                                 const graphics::PixelFormat& format = kRGBA8) {
    return graphics::Image::copy(bytes.data(), width, height, size_t(width) * size_t(format.bytesPerPixel()),
                                 format);
}

inline ImagePtr image(int width, int height, const std::vector<uint8_t>& bytes,
                      const graphics::PixelFormat& format = kRGBA8) {
    return Image::imageWithCGImage(bitmap(width, height, bytes, format));
}

// Deterministic, varied opaque content.
inline std::vector<uint8_t> pattern(int width, int height, int seed = 0) {
    std::vector<uint8_t> bytes(size_t(width) * size_t(height) * 4);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = (i % 4 == 3) ? 255 : uint8_t((i * 37 + size_t(seed) * 11) ^ (i >> 7));
    return bytes;
}

// The image over rect as bytes in format, top row first; empty when rendering fails.
inline std::vector<uint8_t> pixels(const ImagePtr& img, const graphics::Rect& rect,
                                   const graphics::PixelFormat& format = kRGBA8) {
    const size_t rowBytes = size_t(rect.width()) * size_t(format.bytesPerPixel());
    std::vector<uint8_t> out(rowBytes * size_t(rect.height()));
    if (!Context().render(img, out.data(), rowBytes, rect, format)) return {};
    return out;
}

// One pixel as RGBA bytes (not premultiplied).
inline std::vector<uint8_t> pixelAt(const ImagePtr& img, double x, double y) {
    return pixels(img, graphics::Rect(x, y, 1, 1));
}

inline FilterPtr filter(const std::string& name,
                        std::initializer_list<std::pair<const char*, FilterValue>> inputs) {
    FilterPtr f = Filter::filterWithName(name);
    if (f)
        for (const auto& [key, value] : inputs)
            f->setValue(key, value);
    return f;
}

inline ImagePtr output(const FilterPtr& f) {
    return f ? f->outputImage() : nullptr;
}

} // namespace coreimage::test
