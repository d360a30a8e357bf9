#pragma once
// Byte-exact conversion between 8-bit layouts, for handing pixels to and from code with other
// memory orders (the UI toolkit's image formats, file codecs). Colour is premultiplied or
// unpremultiplied (rounded to nearest) when the two layouts differ in that; a layout without
// alpha receives the colour as composited onto black and 255 in its skipped byte; a source
// without alpha counts as opaque.
#include "platform/graphics/PixelFormat.h"

#include <cstddef>
#include <cstdint>

namespace graphics {

// Converts width x height pixels. False, with nothing written, unless both formats are valid
// 8-bit formats and both row lengths hold a row. The buffers must not overlap unless they are
// the same buffer with the same row length.
bool convertPixels(const uint8_t* src, size_t srcRowBytes, const PixelFormat& srcFormat, uint8_t* dst,
                   size_t dstRowBytes, const PixelFormat& dstFormat, int width, int height);

} // namespace graphics
