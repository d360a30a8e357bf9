#include "platform/coreimage/Image.h"

#include "platform/coreimage/BitmapImage.h"
#include "platform/coreimage/ConstantImage.h"
#include "platform/coreimage/CropImage.h"
#include "platform/coreimage/TransformImage.h"

#include <algorithm>
#include <cmath>

namespace coreimage {

namespace {

class EmptyImage final : public Image {
  public:
    EmptyImage() : Image(graphics::Rect::null()) {}
    void render(const PixelRect& rect, float* out) const override {
        std::fill(out, out + rect.area() * 4, 0.0f);
    }
};

bool finite(const graphics::AffineTransform& t) {
    return std::isfinite(t.a) && std::isfinite(t.b) && std::isfinite(t.c) && std::isfinite(t.d) &&
           std::isfinite(t.tx) && std::isfinite(t.ty);
}

} // namespace

ImagePtr Image::imageWithCGImage(const graphics::ImagePtr& bitmap) {
    if (!bitmap) return nullptr;
    TiledPixels pixels{bitmap->format(),
                       bitmap->width(),
                       bitmap->height(),
                       bitmap->width(),
                       bitmap->height(),
                       bitmap->rowBytes(),
                       {std::shared_ptr<const uint8_t>(bitmap, bitmap->data())}};
    return std::make_shared<BitmapImage>(std::move(pixels), 0, 0);
}

ImagePtr Image::imageWithColor(const graphics::Color& color) {
    return std::make_shared<ConstantImage>(color);
}

ImagePtr Image::emptyImage() {
    static const ImagePtr empty = std::make_shared<EmptyImage>();
    return empty;
}

ImagePtr Image::imageByCroppingToRect(const graphics::Rect& rect) const {
    const graphics::Rect kept = extent_.intersection(rect);
    if (kept.isEmpty()) return emptyImage();
    if (kept == extent_) return shared_from_this();
    return std::make_shared<CropImage>(shared_from_this(), rect);
}

ImagePtr Image::imageByApplyingTransform(const graphics::AffineTransform& transform) const {
    // A singular transform squeezes the image onto a line or a point: nothing is left to see.
    if (!finite(transform) || !transform.isInvertible() || extent_.isNull()) return emptyImage();
    ImagePtr input = shared_from_this();
    graphics::AffineTransform total = transform;
    if (const auto* moved = dynamic_cast<const TransformImage*>(this)) {
        input = moved->input();
        total = graphics::concat(moved->transform(), transform);
    }
    if (const auto exact = TransformImage::pixelExact(total)) {
        if (exact->isIdentity()) return input;
        return std::make_shared<TransformImage>(std::move(input), *exact, true);
    }
    if (!total.isInvertible()) return emptyImage();
    return std::make_shared<TransformImage>(std::move(input), total, false);
}

} // namespace coreimage
