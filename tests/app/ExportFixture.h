#pragma once
// A small smooth picture made in code for the export tests, and reading one component back.
#include "platform/graphics/Image.h"

#include <cstdint>
#include <vector>

namespace exportfixture {

// w x h pixels, 8 or 16 bits, opaque, every channel a different gradient.
inline graphics::ImagePtr picture(int w, int h, int bits) {
    graphics::PixelFormat format;
    format.bitsPerComponent = bits;
    format.order[3] = graphics::Channel::X;
    const size_t rowBytes = size_t(w) * 4 * size_t(bits / 8);
    std::vector<uint8_t> buffer(rowBytes * size_t(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double v[4] = {0.1 + 0.8 * x / (w - 1), 0.1 + 0.8 * y / (h - 1),
                                 0.5 + 0.3 * (x - y) / (w + h), 1.0};
            for (int c = 0; c < 4; ++c) {
                const size_t i = size_t(y) * size_t(w) * 4 + size_t(x) * 4 + size_t(c);
                if (bits == 8)
                    buffer[i] = uint8_t(v[c] * 255 + 0.5);
                else
                    reinterpret_cast<uint16_t*>(buffer.data())[i] = uint16_t(v[c] * 65535 + 0.5);
            }
        }
    return graphics::Image::copy(buffer.data(), w, h, rowBytes, format);
}

// Component c (0 red .. 3) of pixel (x, y), 0-1.
inline double component(const graphics::Image& image, int x, int y, int c) {
    const int bits = image.format().bitsPerComponent;
    const uint8_t* row = image.row(y);
    const size_t i = size_t(x) * 4 + size_t(image.format().indexOf(graphics::Channel(c)));
    if (bits == 8) return row[i] / 255.0;
    if (bits == 16) return reinterpret_cast<const uint16_t*>(row)[i] / 65535.0;
    return reinterpret_cast<const float*>(row)[i];
}

} // namespace exportfixture
