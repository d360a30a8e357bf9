#include "platform/graphics/Image.h"

#include <cstring>
#include <limits>
#include <new>

namespace graphics {

Image::Image(Private, std::shared_ptr<const uint8_t> pixels, int width, int height, size_t rowBytes,
             PixelFormat format, Size pointSize)
    : pixels_(std::move(pixels)), width_(width), height_(height), rowBytes_(rowBytes), format_(format),
      pointSize_(pointSize) {}

bool Image::acceptable(const void* pixels, int width, int height, size_t rowBytes,
                       const PixelFormat& format) {
    if (!pixels || width <= 0 || height <= 0 || !format.isValid()) return false;
    if (rowBytes < size_t(width) * size_t(format.bytesPerPixel())) return false;
    return rowBytes <= std::numeric_limits<size_t>::max() / size_t(height);
}

ImagePtr Image::copy(const void* pixels, int width, int height, size_t rowBytes, PixelFormat format) {
    if (!acceptable(pixels, width, height, rowBytes, format)) return nullptr;
    const size_t packedRow = size_t(width) * size_t(format.bytesPerPixel());
    auto* buffer = new (std::nothrow) uint8_t[packedRow * size_t(height)];
    if (!buffer) return nullptr;
    const auto* src = static_cast<const uint8_t*>(pixels);
    for (int y = 0; y < height; ++y)
        std::memcpy(buffer + size_t(y) * packedRow, src + size_t(y) * rowBytes, packedRow);
    const Size points{double(width), double(height)};
    try {
        // Frees the buffer itself when its control block cannot be made.
        std::shared_ptr<const uint8_t> owned(buffer, [](const uint8_t* p) { delete[] p; });
        return std::make_shared<const Image>(Private{}, std::move(owned), width, height, packedRow, format,
                                             points);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

ImagePtr Image::adopt(void* pixels, int width, int height, size_t rowBytes, PixelFormat format,
                      Release release) {
    if (!acceptable(pixels, width, height, rowBytes, format)) return nullptr;
    // The buffer becomes the image's only once the image exists: a control block that cannot be
    // made calls its deleter, which must then leave the buffer to the caller.
    struct Releaser {
        Release release;
        bool owns = false;
        void operator()(const uint8_t* p) const {
            if (owns && release) release(const_cast<uint8_t*>(p));
        }
    };
    const Size points{double(width), double(height)};
    try {
        std::shared_ptr<const uint8_t> owned(static_cast<const uint8_t*>(pixels),
                                             Releaser{std::move(release)});
        Releaser* releaser = std::get_deleter<Releaser>(owned);
        ImagePtr image = std::make_shared<const Image>(Private{}, std::move(owned), width, height, rowBytes,
                                                       format, points);
        releaser->owns = true;
        return image;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

ImagePtr Image::withPointSize(Size points) const {
    return std::make_shared<const Image>(Private{}, pixels_, width_, height_, rowBytes_, format_, points);
}

} // namespace graphics
