#include "Raster.h"

#include <algorithm>
#include <cstdint>

namespace artwork {

namespace {
uint8_t toByte(float v) {
    return uint8_t(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f);
}
} // namespace

graphics::ImagePtr toImage(const Raster& raster) {
    const int w = raster.width(), h = raster.height();
    std::vector<uint8_t> bytes(size_t(w) * size_t(h) * 4);
    graphics::parallelRows(h, size_t(w), [&](int first, int end) {
        for (int y = first; y < end; ++y) {
            uint8_t* row = bytes.data() + size_t(y) * size_t(w) * 4;
            for (int x = 0; x < w; ++x) {
                const Rgb& c = raster.at(x, y);
                row[4 * x] = toByte(c.r);
                row[4 * x + 1] = toByte(c.g);
                row[4 * x + 2] = toByte(c.b);
                row[4 * x + 3] = 255;
            }
        }
    });
    graphics::PixelFormat format;
    format.order = {graphics::Channel::R, graphics::Channel::G, graphics::Channel::B, graphics::Channel::X};
    return graphics::Image::copy(bytes.data(), w, h, size_t(w) * 4, format);
}

} // namespace artwork
