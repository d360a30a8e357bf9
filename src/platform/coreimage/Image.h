#pragma once
// A lazy, immutable image: a recipe that says how to compute premultiplied float RGBA pixels
// (sRGB values, no colour management) over an extent in y-up coordinates. Nothing is computed
// until a Context renders a rectangle of it, and then only what that rectangle needs.
// Images are shared (ImagePtr) and may be rendered from several threads at once.
#include "platform/coreimage/PixelRect.h"
#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/Rect.h"

#include <memory>

namespace coreimage {

class Image;
using ImagePtr = std::shared_ptr<const Image>;

class Image : public std::enable_shared_from_this<Image> {
  public:
    virtual ~Image() = default;
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    // The bitmap with its bottom-left corner at (0, 0): extent (0, 0, width, height), the
    // bitmap's top row at the top. Null for a null bitmap.
    static ImagePtr imageWithCGImage(const graphics::ImagePtr& bitmap);
    // The colour everywhere: an infinite extent.
    static ImagePtr imageWithColor(const graphics::Color& color);
    // Nothing anywhere: a null extent.
    static ImagePtr emptyImage();

    // Finite, infinite (generators) or null (nothing to draw).
    const graphics::Rect& extent() const { return extent_; }

    // This image outside the rectangle made transparent; extent = the intersection. A pixel
    // belongs to the crop when its centre lies inside the rectangle.
    ImagePtr imageByCroppingToRect(const graphics::Rect& rect) const;
    // This image moved by the transform with linear sampling. Transforms applied one after
    // another fold into one resample; quarter turns, flips and whole-pixel moves copy pixels
    // exactly. The identity answers this image itself; a singular transform, nothing.
    ImagePtr imageByApplyingTransform(const graphics::AffineTransform& transform) const;

    // Evaluation, for the renderer and kernels: writes every pixel of rect into out
    // (rect.width x rect.height premultiplied RGBA floats, rows from rect.y upwards),
    // transparent outside the extent.
    virtual void render(const PixelRect& rect, float* out) const = 0;

  protected:
    explicit Image(const graphics::Rect& extent) : extent_(extent.standardized()) {}

  private:
    graphics::Rect extent_;
};

} // namespace coreimage
