#pragma once
// How the four components of a pixel lie in memory. Every image and bitmap context here has
// three colour components (sRGB: colour management happens when files are read) and one
// alpha or skipped component.
#include <array>
#include <cstddef>
#include <cstdint>

namespace graphics {

enum class Channel : uint8_t { R, G, B, A, X }; // X: present in memory, carries nothing

struct PixelFormat {
    int bitsPerComponent = 8; // 8 and 16 are unsigned integers, 32 is float
    std::array<Channel, 4> order{Channel::R, Channel::G, Channel::B, Channel::A};
    bool premultiplied = false; // colour already multiplied by alpha

    // Three colour channels and one A or X, 8, 16 or 32 bits.
    bool isValid() const;
    bool hasAlpha() const;
    int bytesPerPixel() const { return bitsPerComponent / 2; }
    // Memory index (0..3) of a channel; -1 when absent.
    int indexOf(Channel ch) const;

    friend bool operator==(const PixelFormat&, const PixelFormat&) = default;
};

} // namespace graphics
