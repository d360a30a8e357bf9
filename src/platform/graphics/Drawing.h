#pragma once
// Drawing into bitmap contexts. Rectangles are in the context's y-up pixel coordinates:
// (0, 0, width, height) covers the whole buffer, and an image drawn into it has its top row in
// memory row 0. A pixel is drawn when its centre lies inside the rectangle (edges are not
// antialiased); pixels outside are left untouched.
//
// Drawing composites source-over onto what the buffer holds, writes 255 into a skipped byte of
// every drawn pixel (the engine treats a zero there as "no pixel") and premultiplies for the
// premultiplied layout. Bytes are rounded to nearest. Large draws run on several threads.
#include "platform/graphics/BitmapContext.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/Rect.h"

namespace graphics {

// Scales the image to the rectangle: bilinear along an axis that is enlarged (or kept), the
// average of the covered area along an axis that is reduced; edge pixels extend outwards.
// A null image or an empty rectangle draws nothing. False when memory ran out: the draw stopped
// part way.
bool drawImage(BitmapContext& ctx, const Rect& rect, const ImagePtr& image);

void fillRect(BitmapContext& ctx, const Rect& rect, const Color& color);

// An image holding a copy of the context's pixels at this moment, in the context's layout.
ImagePtr createImage(const BitmapContext& ctx);

} // namespace graphics
