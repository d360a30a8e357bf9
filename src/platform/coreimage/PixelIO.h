#pragma once
// Conversion of pixel spans between stored layouts (8, 16 or 32-bit float components in any
// order, premultiplied or not, with alpha or a skipped component) and the premultiplied float
// RGBA of evaluation. Reading and writing the same layout gives back the same bytes.
#include "platform/graphics/PixelFormat.h"

#include <cstdint>

namespace coreimage {

// count pixels from src into out (4 floats each). A layout without alpha reads as opaque.
void readPixels(const uint8_t* src, const graphics::PixelFormat& format, int count, float* out);
// count pixels from in into dst, clamped to 0..1 (NaN to 0); a skipped component gets the
// maximum value.
void writePixels(const float* in, int count, uint8_t* dst, const graphics::PixelFormat& format);

} // namespace coreimage
