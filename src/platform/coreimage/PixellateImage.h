#pragma once
// An image made of square cells of the given size, laid out from the centre point; each cell
// takes the input's pixel under the cell's centre. Cells smaller than a pixel give the input
// back unchanged.
#include "platform/coreimage/Image.h"

namespace coreimage {

class PixellateImage final : public Image {
  public:
    // scale must be positive and finite, the centre finite.
    PixellateImage(ImagePtr input, graphics::Point center, double scale);

    void render(const PixelRect& rect, float* out) const override;

  private:
    // The input pixel column (or row) whose value lands on pixel i along an axis.
    int sourceIndex(int i, double center) const;

    ImagePtr input_;
    graphics::Point center_;
    double scale_;
    PixelRect inside_;
};

} // namespace coreimage
