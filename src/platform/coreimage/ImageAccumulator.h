#pragma once
// A fixed-size RGBA buffer that images are rendered into, for painting: each write evaluates
// only the pixels it covers, and image() hands out what the buffer holds as an immutable image.
// Snapshots share storage with the buffer in blocks; a write copies only the blocks it touches
// that a snapshot still uses (copy-on-write), so later writes never change a snapshot.
// Not for use from several threads at once.
#include "platform/coreimage/Image.h"
#include "platform/graphics/PixelFormat.h"

#include <memory>
#include <vector>

namespace coreimage {

class ImageAccumulator {
  public:
    // A transparent accumulator over the extent made whole pixels (outward), storing the
    // format: 8 or 16-bit components with alpha. Null for an empty or infinite extent,
    // another format, or no memory.
    static std::unique_ptr<ImageAccumulator> imageAccumulatorWithExtent(const graphics::Rect& extent,
                                                                        const graphics::PixelFormat& format);

    const graphics::Rect& extent() const { return extent_; }
    const graphics::PixelFormat& format() const { return format_; }

    // The contents now. The same image object is answered until the next write.
    ImagePtr image() const;
    // The contents become the image over the whole extent (transparent where it has nothing).
    // False, with the contents unspecified, for a null image or when memory runs out.
    bool setImage(const ImagePtr& image);
    // The same for the pixels of dirtyRect (made whole pixels, outward); nothing else is
    // evaluated or changed.
    bool setImage(const ImagePtr& image, const graphics::Rect& dirtyRect);
    // Every pixel transparent.
    void clear();

  private:
    ImageAccumulator(const graphics::Rect& extent, const graphics::PixelFormat& format,
                     std::shared_ptr<uint8_t> zeroTile);
    // The tile at index, made this accumulator's own first.
    uint8_t* writableTile(size_t index);

    graphics::Rect extent_;
    graphics::PixelFormat format_;
    PixelRect pixels_;
    size_t tileBytes_;
    size_t tileRowBytes_;
    int tilesAcross_;
    // Every tile starts as this shared transparent block and is copied on its first write.
    std::shared_ptr<uint8_t> zeroTile_;
    std::vector<std::shared_ptr<uint8_t>> tiles_;
    mutable ImagePtr snapshot_;
};

} // namespace coreimage
