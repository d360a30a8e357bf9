#pragma once
// The immutable, shared picture. Images are compared by identity (pointer), never by pixels:
// two images are the same only when they are the same object. Pixels never change after
// creation, so any thread may read them.
#include "platform/graphics/PixelFormat.h"
#include "platform/graphics/Size.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace graphics {

class Image;
using ImagePtr = std::shared_ptr<const Image>;

class Image {
  public:
    using Release = std::function<void(void* pixels)>;

    // A new image holding a copy of the pixels (rows of rowBytes, at least a pixel row each).
    // Null for a zero or negative side, an invalid format, short rows or no pixels.
    static ImagePtr copy(const void* pixels, int width, int height, size_t rowBytes, PixelFormat format);
    // A new image over the caller's buffer; release(pixels) runs when the last user lets go.
    // On failure (null answer) the buffer stays the caller's and release is not called.
    static ImagePtr adopt(void* pixels, int width, int height, size_t rowBytes, PixelFormat format,
                          Release release);

    // A new image sharing these pixels with another size in points (HiDPI).
    ImagePtr withPointSize(Size points) const;

    int width() const { return width_; }
    int height() const { return height_; }
    Size pixelSize() const { return {double(width_), double(height_)}; }
    // Equal to the pixel size unless set with withPointSize.
    Size pointSize() const { return pointSize_; }
    const PixelFormat& format() const { return format_; }
    size_t rowBytes() const { return rowBytes_; }
    const uint8_t* data() const { return pixels_.get(); }
    const uint8_t* row(int y) const { return pixels_.get() + size_t(y) * rowBytes_; }

  private:
    struct Private {};

  public:
    Image(Private, std::shared_ptr<const uint8_t> pixels, int width, int height, size_t rowBytes,
          PixelFormat format, Size pointSize);

  private:
    static bool acceptable(const void* pixels, int width, int height, size_t rowBytes,
                           const PixelFormat& format);

    std::shared_ptr<const uint8_t> pixels_;
    int width_;
    int height_;
    size_t rowBytes_;
    PixelFormat format_;
    Size pointSize_;
};

} // namespace graphics
