#include "platform/coreimage/CropImage.h"

#include "platform/coreimage/ScratchBuffer.h"

#include <cstring>
#include <memory>

namespace coreimage {

CropImage::CropImage(ImagePtr input, const graphics::Rect& rect)
    : Image(input->extent().intersection(rect)), input_(std::move(input)), inside_(pixelsInside(extent())) {}

void CropImage::render(const PixelRect& rect, float* out) const {
    const PixelRect live = rect.intersection(inside_);
    if (live == rect) {
        input_->render(rect, out);
        return;
    }
    std::memset(out, 0, rect.area() * 4 * sizeof(float));
    if (live.isEmpty()) return;
    ScratchBuffer part(live.area() * 4);
    input_->render(live, part.get());
    for (int y = live.y; y < live.maxY(); ++y)
        std::memcpy(out + (size_t(y - rect.y) * size_t(rect.width) + size_t(live.x - rect.x)) * 4,
                    part.get() + size_t(y - live.y) * size_t(live.width) * 4,
                    size_t(live.width) * 4 * sizeof(float));
}

} // namespace coreimage
