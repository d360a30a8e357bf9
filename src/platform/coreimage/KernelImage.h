#pragma once
// A kernel's output over its domain of definition: the samplers are rendered over each
// destination tile (grown by the kernel's margin), then the kernel runs row by row.
#include "platform/coreimage/Kernel.h"

#include <vector>

namespace coreimage {

class KernelImage final : public Image {
  public:
    KernelImage(Kernel::Function function, int roiMargin, std::vector<ImagePtr> images,
                std::vector<Vec4> values, const graphics::Rect& definition);

    void render(const PixelRect& rect, float* out) const override;

  private:
    Kernel::Function function_;
    int roiMargin_;
    std::vector<ImagePtr> images_;
    std::vector<Vec4> values_;
    PixelRect domain_;
};

} // namespace coreimage
