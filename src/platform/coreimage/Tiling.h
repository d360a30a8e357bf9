#pragma once
// How rendering is split: into squares small enough that every buffer of a tile stays in
// cache, rows of squares on several threads.
#include "platform/coreimage/Image.h"
#include "platform/graphics/PixelFormat.h"

#include <cstdint>
#include <functional>

namespace coreimage {

inline constexpr int kTileSize = 64;

// Calls fn with every piece of area cut by a grid of kTileSize squares whose top-left corner
// lies at (gridX, gridTop). Rows of pieces may run at the same time on different threads.
void forEachTile(const PixelRect& area, int gridX, int gridTop,
                 const std::function<void(const PixelRect&)>& fn);

// Renders the image over rect (at most a tile) into dst: the rect's top row first, rows
// rowBytes apart, stored in format.
void renderRows(const Image& image, const PixelRect& rect, uint8_t* dst, size_t rowBytes,
                const graphics::PixelFormat& format);

} // namespace coreimage
