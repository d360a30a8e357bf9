#include "platform/graphics/AffineTransform.h"

#include <algorithm>
#include <cmath>

namespace graphics {

AffineTransform AffineTransform::makeTranslation(double tx, double ty) {
    return {1, 0, 0, 1, tx, ty};
}

AffineTransform AffineTransform::makeScale(double sx, double sy) {
    return {sx, 0, 0, sy, 0, 0};
}

AffineTransform AffineTransform::makeRotation(double radians) {
    const double s = std::sin(radians);
    const double co = std::cos(radians);
    return {co, s, -s, co, 0, 0};
}

AffineTransform concat(const AffineTransform& t1, const AffineTransform& t2) {
    return {t1.a * t2.a + t1.b * t2.c,           t1.a * t2.b + t1.b * t2.d,
            t1.c * t2.a + t1.d * t2.c,           t1.c * t2.b + t1.d * t2.d,
            t1.tx * t2.a + t1.ty * t2.c + t2.tx, t1.tx * t2.b + t1.ty * t2.d + t2.ty};
}

AffineTransform AffineTransform::translated(double x, double y) const {
    return concat(makeTranslation(x, y), *this);
}

AffineTransform AffineTransform::scaled(double sx, double sy) const {
    return concat(makeScale(sx, sy), *this);
}

AffineTransform AffineTransform::rotated(double radians) const {
    return concat(makeRotation(radians), *this);
}

bool AffineTransform::isInvertible() const {
    const double det = a * d - b * c;
    return det != 0 && std::isfinite(det);
}

AffineTransform AffineTransform::inverted() const {
    if (!isInvertible()) return *this;
    const double det = a * d - b * c;
    const double ia = d / det, ib = -b / det, ic = -c / det, id = a / det;
    return {ia, ib, ic, id, -(tx * ia + ty * ic), -(tx * ib + ty * id)};
}

bool AffineTransform::isIdentity() const {
    return *this == identity();
}

Point AffineTransform::apply(Point p) const {
    return {a * p.x + c * p.y + tx, b * p.x + d * p.y + ty};
}

Size AffineTransform::apply(Size s) const {
    return {a * s.width + c * s.height, b * s.width + d * s.height};
}

Rect AffineTransform::apply(const Rect& r) const {
    if (r.isNull() || r.isInfinite()) return r;
    const Rect s = r.standardized();
    const Point corners[4] = {apply(Point{s.minX(), s.minY()}), apply(Point{s.maxX(), s.minY()}),
                              apply(Point{s.minX(), s.maxY()}), apply(Point{s.maxX(), s.maxY()})};
    double x0 = corners[0].x, x1 = x0, y0 = corners[0].y, y1 = y0;
    for (const Point& p : corners) {
        x0 = std::min(x0, p.x);
        x1 = std::max(x1, p.x);
        y0 = std::min(y0, p.y);
        y1 = std::max(y1, p.y);
    }
    return Rect(x0, y0, x1 - x0, y1 - y0);
}

} // namespace graphics
