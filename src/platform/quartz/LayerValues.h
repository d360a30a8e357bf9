#pragma once
// The animatable geometry of a layer, y-up in its superlayer's space: the model values set by
// callers, or the presentation values that running animations give at one instant.
#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/Point.h"
#include "platform/graphics/Rect.h"

namespace quartz {

struct LayerValues {
    graphics::Rect bounds;
    graphics::Point position;
    graphics::Point anchorPoint{0.5, 0.5};
    graphics::AffineTransform transform;
    double opacity = 1;

    // The bounds transformed about the anchor point and placed at the position: the bounding
    // box in the superlayer's space.
    graphics::Rect frame() const;
};

} // namespace quartz
