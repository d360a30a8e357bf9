#pragma once
// Any 8-bit image read back as R,G,B,A bytes, row 0 on top, whatever its own layout. Header only.
#include "platform/graphics/Image.h"
#include "platform/graphics/PixelConversion.h"

#include "support/StubEffects.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

struct ImagePixels {
    int w = 0, h = 0;
    std::vector<uint8_t> rgba;
    Rgb at(int x, int y) const {
        const uint8_t* p = &rgba[(size_t(y) * size_t(w) + size_t(x)) * 4];
        return {p[0], p[1], p[2]};
    }
};

// Empty for a null image; a conversion the graphics layer refuses fails the test.
inline ImagePixels pixelsOf(const graphics::ImagePtr& image) {
    ImagePixels out;
    if (!image) return out;
    out.w = image->width();
    out.h = image->height();
    out.rgba.resize(size_t(out.w) * size_t(out.h) * 4);
    EXPECT_TRUE(graphics::convertPixels(image->data(), image->rowBytes(), image->format(), out.rgba.data(),
                                        size_t(out.w) * 4, graphics::PixelFormat{}, out.w, out.h));
    return out;
}
