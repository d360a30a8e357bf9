#pragma once
// Values an animation moves between, and their interpolation. Transforms are split into
// translation, rotation, scale and a remaining shear, each interpolated on its own, so a turn
// stays a turn halfway and a flip passes through a zero scale.
#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/Point.h"
#include "platform/graphics/Rect.h"

#include <variant>

namespace quartz {

using AnimationValue = std::variant<double, graphics::Point, graphics::Rect, graphics::AffineTransform>;

struct TransformParts {
    double tx = 0, ty = 0, angle = 0, sx = 1, sy = 1;
    double k11 = 1, k12 = 0, k21 = 0, k22 = 1; // what rotation and scale leave over

    static TransformParts of(const graphics::AffineTransform& t);
    graphics::AffineTransform transform() const;
};

double interpolate(double from, double to, double progress);
graphics::Point interpolate(graphics::Point from, graphics::Point to, double progress);
graphics::Rect interpolate(const graphics::Rect& from, const graphics::Rect& to, double progress);
graphics::AffineTransform interpolate(const graphics::AffineTransform& from,
                                      const graphics::AffineTransform& to, double progress);

} // namespace quartz
