#include "platform/coreimage/BitmapImage.h"

#include "platform/coreimage/PixelIO.h"

#include <algorithm>
#include <cstring>

namespace coreimage {

BitmapImage::BitmapImage(TiledPixels pixels, int originX, int originY)
    : Image(graphics::Rect(originX, originY, pixels.width, pixels.height)),
      pixels_(std::move(pixels)), bounds_{originX, originY, pixels_.width, pixels_.height} {}

void BitmapImage::render(const PixelRect& rect, float* out) const {
    const PixelRect inside = rect.intersection(bounds_);
    if (inside != rect) std::memset(out, 0, rect.area() * 4 * sizeof(float));
    if (inside.isEmpty()) return;

    const TiledPixels& p = pixels_;
    const size_t pixelBytes = size_t(p.format.bytesPerPixel());
    const int tilesAcross = (p.width + p.tileWidth - 1) / p.tileWidth;
    for (int y = inside.y; y < inside.maxY(); ++y) {
        const int fromTop = bounds_.maxY() - 1 - y;
        const int tileRow = fromTop / p.tileHeight;
        const size_t rowOffset = size_t(fromTop % p.tileHeight) * p.rowBytes;
        float* dst = out + (size_t(y - rect.y) * size_t(rect.width) + size_t(inside.x - rect.x)) * 4;
        int column = inside.x - bounds_.x;
        const int endColumn = inside.maxX() - bounds_.x;
        while (column < endColumn) {
            const int tileColumn = column / p.tileWidth;
            const int count = std::min(endColumn, (tileColumn + 1) * p.tileWidth) - column;
            const uint8_t* tile = p.tiles[size_t(tileRow * tilesAcross + tileColumn)].get();
            readPixels(tile + rowOffset + size_t(column % p.tileWidth) * pixelBytes, p.format, count, dst);
            dst += size_t(count) * 4;
            column += count;
        }
    }
}

} // namespace coreimage
