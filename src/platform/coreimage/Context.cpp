#include "platform/coreimage/Context.h"

#include "platform/coreimage/Tiling.h"

#include <cmath>
#include <cstdio>
#include <exception>
#include <new>

namespace coreimage {

namespace {

// Larger sides than this are a mistake, not a picture.
constexpr double kMaxSide = double(1 << 28);

struct Target {
    ImagePtr image;
    PixelRect rect;
};

// The whole pixels to render and the image placed so that they lie on its pixel grid.
bool target(const ImagePtr& image, const graphics::Rect& bounds, Target& out) {
    if (!image || bounds.isNull() || bounds.isInfinite()) return false;
    const graphics::Rect b = bounds.standardized();
    const double width = std::trunc(b.size.width), height = std::trunc(b.size.height);
    if (!(width >= 1 && height >= 1 && width <= kMaxSide && height <= kMaxSide)) return false;
    if (!(std::fabs(b.origin.x) <= kMaxSide && std::fabs(b.origin.y) <= kMaxSide)) return false;
    if (b.origin.x == std::floor(b.origin.x) && b.origin.y == std::floor(b.origin.y)) {
        out = {image, {int(b.origin.x), int(b.origin.y), int(width), int(height)}};
    } else {
        const auto moved = graphics::AffineTransform::makeTranslation(-b.origin.x, -b.origin.y);
        out = {image->imageByApplyingTransform(moved), {0, 0, int(width), int(height)}};
    }
    return true;
}

} // namespace

foundation::Dictionary Context::turnOffColorSpaceConversionFromOptions(foundation::Dictionary options) {
    options[kCIContextWorkingColorSpace] = foundation::Value();
    return options;
}

bool Context::render(const ImagePtr& image, void* buffer, size_t rowBytes, const graphics::Rect& bounds,
                     const graphics::PixelFormat& format) const {
    Target t;
    if (!buffer || !format.isValid() || !target(image, bounds, t)) return false;
    if (rowBytes < size_t(t.rect.width) * size_t(format.bytesPerPixel())) return false;
    auto* pixels = static_cast<uint8_t*>(buffer);
    const size_t pixelBytes = size_t(format.bytesPerPixel());
    const int top = t.rect.maxY();
    try {
        forEachTile(t.rect, t.rect.x, top, [&](const PixelRect& tile) {
            uint8_t* dst =
                pixels + size_t(top - tile.maxY()) * rowBytes + size_t(tile.x - t.rect.x) * pixelBytes;
            renderRows(*t.image, tile, dst, rowBytes, format);
        });
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

graphics::ImagePtr Context::createCGImage(const ImagePtr& image, const graphics::Rect& fromRect,
                                          const graphics::PixelFormat& format) const {
    Target t;
    if (!format.isValid() || !target(image, fromRect, t)) return nullptr;
    const size_t rowBytes = size_t(t.rect.width) * size_t(format.bytesPerPixel());
    auto* pixels = new (std::nothrow) uint8_t[rowBytes * size_t(t.rect.height)];
    if (!pixels) return nullptr;
    if (!render(image, pixels, rowBytes, fromRect, format)) {
        delete[] pixels;
        return nullptr;
    }
    graphics::ImagePtr bitmap = graphics::Image::adopt(pixels, t.rect.width, t.rect.height, rowBytes, format,
                                                       [](void* p) { delete[] static_cast<uint8_t*>(p); });
    if (!bitmap) delete[] pixels;
    return bitmap;
}

graphics::ImagePtr render(const ImagePtr& image, int bitsPerComponent) {
    if (bitsPerComponent != 8 && bitsPerComponent != 16 && bitsPerComponent != 32) {
        std::printf("Wrong bits per component: %d\n", bitsPerComponent);
        return nullptr;
    }
    if (!image) return nullptr;
    graphics::PixelFormat format = kRGBA8Premultiplied;
    format.bitsPerComponent = bitsPerComponent;
    const graphics::Rect& e = image->extent();
    return Context().createCGImage(image, e, format);
}

} // namespace coreimage
