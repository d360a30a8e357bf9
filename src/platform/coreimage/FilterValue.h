#pragma once
// A filter input or kernel argument: nothing, an image, a number, a vector, a colour (sRGB,
// not premultiplied), an affine transform or a rectangle. The as* readers answer nothing for
// another kind; a rectangle may also be given as a four-component vector (x, y, w, h).
#include "platform/coreimage/Image.h"
#include "platform/coreimage/Vector.h"
#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Rect.h"

#include <optional>
#include <variant>

namespace coreimage {

using FilterValue = std::variant<std::monostate, ImagePtr, double, Vector, graphics::Color,
                                 graphics::AffineTransform, graphics::Rect>;

ImagePtr asImage(const FilterValue& v);
std::optional<double> asNumber(const FilterValue& v);
std::optional<Vector> asVector(const FilterValue& v);
std::optional<graphics::Color> asColor(const FilterValue& v);
std::optional<graphics::AffineTransform> asTransform(const FilterValue& v);
std::optional<graphics::Rect> asRect(const FilterValue& v);

} // namespace coreimage
