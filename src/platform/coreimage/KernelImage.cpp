#include "platform/coreimage/KernelImage.h"

#include "platform/coreimage/ScratchBuffer.h"

#include <cstring>
#include <memory>

namespace coreimage {

KernelImage::KernelImage(Kernel::Function function, int roiMargin, std::vector<ImagePtr> images,
                         std::vector<Vec4> values, const graphics::Rect& definition)
    : Image(definition), function_(function), roiMargin_(roiMargin), images_(std::move(images)),
      values_(std::move(values)), domain_(pixelsInside(extent())) {}

void KernelImage::render(const PixelRect& rect, float* out) const {
    const PixelRect live = rect.intersection(domain_);
    if (live != rect) std::memset(out, 0, rect.area() * 4 * sizeof(float));
    if (live.isEmpty()) return;

    const PixelRect region = live.outset(roiMargin_);
    std::vector<ScratchBuffer> buffers;
    std::vector<Sampler> samplers;
    buffers.reserve(images_.size());
    samplers.reserve(images_.size());
    for (const ImagePtr& image : images_) {
        buffers.emplace_back(region.area() * 4);
        image->render(region, buffers.back().get());
        samplers.emplace_back(buffers.back().get(), region, image->extent());
    }

    KernelRow row{samplers, values_, live.x, 0, live.width, nullptr};
    for (int y = live.y; y < live.maxY(); ++y) {
        row.y = y;
        row.out = out + (size_t(y - rect.y) * size_t(rect.width) + size_t(live.x - rect.x)) * 4;
        function_(row);
    }
}

} // namespace coreimage
