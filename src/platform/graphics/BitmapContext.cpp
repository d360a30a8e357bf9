#include "platform/graphics/BitmapContext.h"

#include <new>

namespace graphics {

std::optional<PixelFormat> pixelFormatForBitmapInfo(uint32_t bitmapInfo) {
    using enum Channel;
    switch (bitmapInfo) {
    case kBitmapInfoPremultipliedFirst:
        return PixelFormat{8, {A, R, G, B}, true};
    case kBitmapInfoNoneSkipFirst:
        return PixelFormat{8, {X, R, G, B}, false};
    case kBitmapInfoLittleEndianSkipFirst:
        return PixelFormat{8, {B, G, R, X}, false};
    case kBitmapInfoBigEndianSkipLast:
        return PixelFormat{8, {R, G, B, X}, false};
    default:
        return std::nullopt;
    }
}

BitmapContext::BitmapContext(uint8_t* data, int width, int height, size_t rowBytes, uint32_t bitmapInfo,
                             PixelFormat format)
    : data_(data), width_(width), height_(height), rowBytes_(rowBytes), bitmapInfo_(bitmapInfo),
      format_(format) {}

std::unique_ptr<BitmapContext> BitmapContext::create(uint8_t* data, int width, int height,
                                                     int bitsPerComponent, size_t rowBytes,
                                                     uint32_t bitmapInfo) {
    const std::optional<PixelFormat> format = pixelFormatForBitmapInfo(bitmapInfo);
    if (!data || width <= 0 || height <= 0 || bitsPerComponent != 8 || !format) return nullptr;
    if (rowBytes < size_t(width) * 4) return nullptr;
    // Out of memory is one more null answer: nothing throws out of this layer.
    return std::unique_ptr<BitmapContext>(
        new (std::nothrow) BitmapContext(data, width, height, rowBytes, bitmapInfo, *format));
}

} // namespace graphics
