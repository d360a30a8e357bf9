#pragma once
// One colour over the whole plane.
#include "platform/coreimage/Image.h"

namespace coreimage {

class ConstantImage final : public Image {
  public:
    explicit ConstantImage(const graphics::Color& color);

    void render(const PixelRect& rect, float* out) const override;

  private:
    float premultiplied_[4];
};

} // namespace coreimage
