#include "kernels/drawing/ARGBBitmapContext.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <limits>

std::unique_ptr<graphics::BitmapContext> CreateARGBBitmapContextAlphaSkip(size_t width, size_t height,
                                                                          uint8_t alpha_skip) {
    // The colour space is a fixed tag here (device RGB is sRGB), so making it cannot fail.
    const uint32_t info = uint32_t(alpha_skip) * 4 + 2;
    const bool fits = width <= std::numeric_limits<size_t>::max() / 4 &&
                      (height == 0 || width * 4 <= std::numeric_limits<size_t>::max() / height);
    const size_t rowBytes = fits ? width * 4 : 0;
    // At least one byte, so a zero side reaches context creation and is reported there.
    const size_t bytes = fits ? rowBytes * height : 0;
    void* data = fits ? std::calloc(bytes > 0 ? bytes : 1, 1) : nullptr;
    if (!data) {
        std::fputs("Memory not allocated!", stderr);
        return nullptr;
    }
    std::unique_ptr<graphics::BitmapContext> ctx;
    if (width <= size_t(INT_MAX) && height <= size_t(INT_MAX))
        ctx = graphics::BitmapContext::create(static_cast<uint8_t*>(data), int(width), int(height), 8,
                                              rowBytes, info);
    if (!ctx) {
        std::free(data);
        std::fputs("Context not created!", stderr);
        return nullptr;
    }
    return ctx;
}

std::unique_ptr<graphics::BitmapContext> CreateARGBBitmapContext(size_t width, size_t height) {
    return CreateARGBBitmapContextAlphaSkip(width, height, 1);
}
