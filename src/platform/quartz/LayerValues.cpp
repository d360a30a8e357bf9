#include "platform/quartz/LayerValues.h"

namespace quartz {

graphics::Rect LayerValues::frame() const {
    const graphics::Rect b = bounds.standardized();
    const double ax = b.width() * anchorPoint.x, ay = b.height() * anchorPoint.y;
    const graphics::Rect local(-ax, -ay, b.width(), b.height());
    return transform.apply(local).offset(position.x, position.y);
}

} // namespace quartz
