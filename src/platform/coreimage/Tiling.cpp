#include "platform/coreimage/Tiling.h"

#include "platform/coreimage/PixelIO.h"
#include "platform/graphics/ParallelRows.h"

#include "platform/coreimage/ScratchBuffer.h"

#include <algorithm>
#include <memory>

namespace coreimage {

namespace {
int floorDiv(int a, int b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}
} // namespace

void forEachTile(const PixelRect& area, int gridX, int gridTop,
                 const std::function<void(const PixelRect&)>& fn) {
    if (area.isEmpty()) return;
    const int firstRow = floorDiv(gridTop - area.maxY(), kTileSize);
    const int lastRow = floorDiv(gridTop - area.y - 1, kTileSize);
    const int firstColumn = floorDiv(area.x - gridX, kTileSize);
    const int lastColumn = floorDiv(area.maxX() - 1 - gridX, kTileSize);
    graphics::parallelRows(lastRow - firstRow + 1, size_t(area.width) * kTileSize, [&](int begin, int end) {
        for (int row = firstRow + begin; row < firstRow + end; ++row) {
            const int top = gridTop - row * kTileSize;
            for (int column = firstColumn; column <= lastColumn; ++column) {
                const PixelRect tile{gridX + column * kTileSize, top - kTileSize, kTileSize, kTileSize};
                fn(tile.intersection(area));
            }
        }
    });
}

void renderRows(const Image& image, const PixelRect& rect, uint8_t* dst, size_t rowBytes,
                const graphics::PixelFormat& format) {
    ScratchBuffer pixels(rect.area() * 4);
    image.render(rect, pixels.get());
    for (int row = 0; row < rect.height; ++row)
        writePixels(pixels.get() + size_t(rect.height - 1 - row) * size_t(rect.width) * 4, rect.width,
                    dst + size_t(row) * rowBytes, format);
}

} // namespace coreimage
