#pragma once
// An image moved by an affine transform. A pixel-exact transform (quarter turns, flips and
// whole-pixel moves, after snapping rounding noise) copies pixels; any other samples the input
// linearly at the inverse-mapped pixel centres.
#include "platform/coreimage/Image.h"

#include <optional>

namespace coreimage {

class TransformImage final : public Image {
  public:
    // The transform snapped to a pixel-exact one, or nothing when it moves pixels off the grid.
    static std::optional<graphics::AffineTransform> pixelExact(const graphics::AffineTransform& t);

    // transform must be invertible; exact says it came from pixelExact.
    TransformImage(ImagePtr input, const graphics::AffineTransform& transform, bool exact);

    const ImagePtr& input() const { return input_; }
    const graphics::AffineTransform& transform() const { return transform_; }

    void render(const PixelRect& rect, float* out) const override;

  private:
    void copyExact(const PixelRect& live, const PixelRect& rect, float* out) const;
    void resample(const PixelRect& live, const PixelRect& rect, float* out) const;

    ImagePtr input_;
    graphics::AffineTransform transform_;
    graphics::AffineTransform inverse_;
    bool exact_;
    PixelRect covered_;
};

} // namespace coreimage
