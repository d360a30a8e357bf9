#pragma once
// An image limited to a rectangle: pixels whose centres lie outside are transparent.
#include "platform/coreimage/Image.h"

namespace coreimage {

class CropImage final : public Image {
  public:
    CropImage(ImagePtr input, const graphics::Rect& rect);

    void render(const PixelRect& rect, float* out) const override;

  private:
    ImagePtr input_;
    PixelRect inside_;
};

} // namespace coreimage
