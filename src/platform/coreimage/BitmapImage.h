#pragma once
// Stored pixels as an image: a bitmap, or an accumulator's snapshot. The pixels lie in blocks
// (one block for a bitmap), so a snapshot shares the blocks a later write does not touch.
#include "platform/coreimage/Image.h"

#include <memory>
#include <vector>

namespace coreimage {

struct TiledPixels {
    graphics::PixelFormat format;
    int width = 0; // pixels
    int height = 0;
    int tileWidth = 0;
    int tileHeight = 0;
    size_t rowBytes = 0; // of one block
    // Blocks in rows from the top, left to right; each block's rows run from its top.
    std::vector<std::shared_ptr<const uint8_t>> tiles;
};

class BitmapImage final : public Image {
  public:
    // originX, originY: the bottom-left pixel's position.
    BitmapImage(TiledPixels pixels, int originX, int originY);

    void render(const PixelRect& rect, float* out) const override;

  private:
    TiledPixels pixels_;
    PixelRect bounds_;
};

} // namespace coreimage
