#pragma once
// Turning an image stored with an Exif orientation (1-8) upright.
#include "platform/graphics/Image.h"

namespace imageio {

// The upright image for a stored image of four 8-bit components per pixel; the image itself for
// orientation 1 or a value outside 1-8.
graphics::ImagePtr applyOrientation(const graphics::ImagePtr& image, int orientation);

} // namespace imageio
