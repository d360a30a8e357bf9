#pragma once
// An image's pixels laid out as OpenImageIO writes them: R, G, B and, when the image has
// alpha, straight (unassociated) alpha, in the image's own component type. The image's memory
// is used as is when it already has that layout.
#include "platform/graphics/Image.h"

#include <OpenImageIO/imageio.h>

#include <vector>

namespace imageio {

struct OutputPixels {
    int channels = 3;
    OIIO::TypeDesc type;
    const void* data = nullptr;
    OIIO::stride_t xstride = 0, ystride = 0;
    std::vector<uint8_t> storage; // owns data when the layout had to change
};

// `linear`: float linear colour premultiplied by alpha, as OpenEXR stores it. False when memory
// for a converted copy cannot be had.
bool outputPixels(const graphics::Image& image, bool linear, OutputPixels* pixels);

} // namespace imageio
