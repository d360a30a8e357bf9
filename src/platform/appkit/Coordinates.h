#pragma once
// The one place where y-up geometry (origin bottom-left, relative to the parent) meets Qt's
// y-down widget coordinates. A frame needs only its parent's height, so nested frames convert
// level by level. A point keeps its exact value both ways: y-up y = height - Qt y.
#include "platform/graphics/Point.h"
#include "platform/graphics/Rect.h"

#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QTransform>

class QWidget;

namespace appkit {

QRectF fromAppKit(const graphics::Rect& rect, double parentHeight);
graphics::Rect toAppKit(const QRectF& rect, double parentHeight);
QPointF fromAppKit(graphics::Point point, double height);
graphics::Point toAppKit(QPointF point, double height);

// A displacement (shadow offset, nudge): only the vertical sign changes.
QPointF offsetFromAppKit(double dx, double dy);

// Painter transform that draws y-up coordinates into a surface of the given height.
QTransform yUpTransform(double height);

// Widget geometry has whole pixels: each edge is rounded on its own, so frames that share an
// edge in y-up still share it on screen.
QRect pixelRectFromAppKit(const graphics::Rect& rect, double parentHeight);

// A widget's frame in y-up coordinates of its parent, and the setter; a window's frame is in
// global y-up coordinates measured from the bottom of the primary screen.
graphics::Rect frame(const QWidget& view);
void setFrame(QWidget& view, const graphics::Rect& rect);

} // namespace appkit
