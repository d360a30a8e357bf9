#include "platform/coreimage/ConstantImage.h"

namespace coreimage {

ConstantImage::ConstantImage(const graphics::Color& c)
    : Image(graphics::Rect::infinite()), premultiplied_{float(c.red * c.alpha), float(c.green * c.alpha),
                                                        float(c.blue * c.alpha), float(c.alpha)} {}

void ConstantImage::render(const PixelRect& rect, float* out) const {
    const size_t count = rect.area();
    for (size_t i = 0; i < count; ++i, out += 4)
        for (int k = 0; k < 4; ++k)
            out[k] = premultiplied_[k];
}

} // namespace coreimage
