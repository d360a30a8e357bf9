#include "platform/coreimage/ImageAccumulator.h"

#include "platform/coreimage/BitmapImage.h"
#include "platform/coreimage/Tiling.h"

#include <cmath>
#include <cstring>
#include <exception>
#include <new>

namespace coreimage {

namespace {

constexpr double kMaxSide = double(1 << 20);

std::shared_ptr<uint8_t> newTile(size_t bytes) {
    uint8_t* p = new uint8_t[bytes];
    return std::shared_ptr<uint8_t>(p, std::default_delete<uint8_t[]>());
}

} // namespace

std::unique_ptr<ImageAccumulator>
ImageAccumulator::imageAccumulatorWithExtent(const graphics::Rect& extent,
                                             const graphics::PixelFormat& format) {
    if (extent.isEmpty() || extent.isInfinite()) return nullptr;
    if (!format.isValid() || !format.hasAlpha() || format.bitsPerComponent == 32) return nullptr;
    const graphics::Rect whole = extent.integral();
    if (!(whole.width() <= kMaxSide && whole.height() <= kMaxSide && std::fabs(whole.minX()) <= kMaxSide &&
          std::fabs(whole.minY()) <= kMaxSide))
        return nullptr;
    try {
        const size_t bytes = size_t(kTileSize) * kTileSize * size_t(format.bytesPerPixel());
        auto zero = newTile(bytes);
        std::memset(zero.get(), 0, bytes);
        return std::unique_ptr<ImageAccumulator>(new ImageAccumulator(whole, format, std::move(zero)));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

ImageAccumulator::ImageAccumulator(const graphics::Rect& extent, const graphics::PixelFormat& format,
                                   std::shared_ptr<uint8_t> zeroTile)
    : extent_(extent), format_(format), pixels_(pixelsInside(extent)),
      tileBytes_(size_t(kTileSize) * kTileSize * size_t(format.bytesPerPixel())),
      tileRowBytes_(size_t(kTileSize) * size_t(format.bytesPerPixel())),
      tilesAcross_((pixels_.width + kTileSize - 1) / kTileSize), zeroTile_(std::move(zeroTile)) {
    const size_t tilesDown = size_t((pixels_.height + kTileSize - 1) / kTileSize);
    tiles_.assign(size_t(tilesAcross_) * tilesDown, zeroTile_);
}

ImagePtr ImageAccumulator::image() const {
    if (!snapshot_) {
        TiledPixels pixels{format_,
                           pixels_.width,
                           pixels_.height,
                           kTileSize,
                           kTileSize,
                           tileRowBytes_,
                           {tiles_.begin(), tiles_.end()}};
        snapshot_ = std::make_shared<BitmapImage>(std::move(pixels), pixels_.x, pixels_.y);
    }
    return snapshot_;
}

bool ImageAccumulator::setImage(const ImagePtr& image) {
    return setImage(image, extent_);
}

bool ImageAccumulator::setImage(const ImagePtr& image, const graphics::Rect& dirtyRect) {
    if (!image) return false;
    // Let go of the cached snapshot first: if nobody else holds it, its blocks are ours again.
    snapshot_.reset();
    const PixelRect area = pixelsCovering(dirtyRect).intersection(pixels_);
    const int top = pixels_.maxY();
    const size_t pixelBytes = size_t(format_.bytesPerPixel());
    try {
        forEachTile(area, pixels_.x, top, [&](const PixelRect& piece) {
            const int column = (piece.x - pixels_.x) / kTileSize, fromTop = top - piece.maxY();
            uint8_t* tile = writableTile(size_t(fromTop / kTileSize) * size_t(tilesAcross_) + size_t(column));
            uint8_t* dst = tile + size_t(fromTop % kTileSize) * tileRowBytes_ +
                           size_t((piece.x - pixels_.x) % kTileSize) * pixelBytes;
            renderRows(*image, piece, dst, tileRowBytes_, format_);
        });
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

uint8_t* ImageAccumulator::writableTile(size_t index) {
    std::shared_ptr<uint8_t>& tile = tiles_[index];
    // Only snapshots (and the shared transparent block) add users, and they never write.
    if (tile.use_count() > 1) {
        auto own = newTile(tileBytes_);
        std::memcpy(own.get(), tile.get(), tileBytes_);
        tile = std::move(own);
    }
    return tile.get();
}

void ImageAccumulator::clear() {
    snapshot_.reset();
    for (auto& tile : tiles_)
        tile = zeroTile_;
}

} // namespace coreimage
