#include "platform/appkit/Coordinates.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace appkit {

QRectF fromAppKit(const graphics::Rect& rect, double parentHeight) {
    const graphics::Rect r = rect.standardized();
    return QRectF(r.origin.x, parentHeight - r.origin.y - r.size.height, r.size.width, r.size.height);
}

graphics::Rect toAppKit(const QRectF& rect, double parentHeight) {
    const QRectF r = rect.normalized();
    return graphics::Rect(r.x(), parentHeight - r.y() - r.height(), r.width(), r.height());
}

QPointF fromAppKit(graphics::Point point, double height) {
    return QPointF(point.x, height - point.y);
}

graphics::Point toAppKit(QPointF point, double height) {
    return graphics::Point{point.x(), height - point.y()};
}

QPointF offsetFromAppKit(double dx, double dy) {
    return QPointF(dx, -dy);
}

QTransform yUpTransform(double height) {
    return QTransform(1, 0, 0, -1, 0, height);
}

QRect pixelRectFromAppKit(const graphics::Rect& rect, double parentHeight) {
    const QRectF r = fromAppKit(rect, parentHeight);
    const int left = int(std::lround(r.left()));
    const int top = int(std::lround(r.top()));
    const int right = int(std::lround(r.left() + r.width()));
    const int bottom = int(std::lround(r.top() + r.height()));
    return QRect(left, top, right - left, bottom - top);
}

namespace {

// A window's frame is measured from the bottom of the primary screen, as the desktop's global
// y-up coordinates are.
double parentHeight(const QWidget& view) {
    if (view.parentWidget()) return view.parentWidget()->height();
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().height() : 0;
}

} // namespace

graphics::Rect frame(const QWidget& view) {
    return toAppKit(QRectF(view.geometry()), parentHeight(view));
}

void setFrame(QWidget& view, const graphics::Rect& rect) {
    view.setGeometry(pixelRectFromAppKit(rect, parentHeight(view)));
}

} // namespace appkit
