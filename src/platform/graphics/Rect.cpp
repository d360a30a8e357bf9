#include "platform/graphics/Rect.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>

namespace graphics {

namespace {
constexpr double kInf = std::numeric_limits<double>::infinity();
}

Rect Rect::null() {
    return Rect(kInf, kInf, 0, 0);
}

Rect Rect::infinite() {
    return Rect(-DBL_MAX / 2, -DBL_MAX / 2, DBL_MAX, DBL_MAX);
}

bool Rect::isNull() const {
    return std::isinf(origin.x) || std::isinf(origin.y);
}

bool Rect::isInfinite() const {
    const Rect r = standardized();
    return !isNull() && r.origin.x <= -DBL_MAX / 2 && r.origin.y <= -DBL_MAX / 2 && r.size.width >= DBL_MAX &&
           r.size.height >= DBL_MAX;
}

bool Rect::isEmpty() const {
    return isNull() || size.width == 0 || size.height == 0;
}

Rect Rect::standardized() const {
    if (isNull()) return null();
    Rect r = *this;
    if (r.size.width < 0) {
        r.origin.x += r.size.width;
        r.size.width = -r.size.width;
    }
    if (r.size.height < 0) {
        r.origin.y += r.size.height;
        r.size.height = -r.size.height;
    }
    return r;
}

double Rect::minX() const {
    return standardized().origin.x;
}
double Rect::minY() const {
    return standardized().origin.y;
}
double Rect::maxX() const {
    const Rect r = standardized();
    return r.origin.x + r.size.width;
}
double Rect::maxY() const {
    const Rect r = standardized();
    return r.origin.y + r.size.height;
}
double Rect::midX() const {
    const Rect r = standardized();
    return r.origin.x + r.size.width / 2;
}
double Rect::midY() const {
    const Rect r = standardized();
    return r.origin.y + r.size.height / 2;
}
double Rect::width() const {
    return isNull() ? 0 : std::fabs(size.width);
}
double Rect::height() const {
    return isNull() ? 0 : std::fabs(size.height);
}

bool Rect::contains(Point p) const {
    if (isNull()) return false;
    return p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY();
}

bool Rect::contains(const Rect& r) const {
    if (isNull() || r.isNull()) return false;
    return r.minX() >= minX() && r.maxX() <= maxX() && r.minY() >= minY() && r.maxY() <= maxY();
}

bool Rect::intersects(const Rect& r) const {
    return !intersection(r).isEmpty();
}

Rect Rect::intersection(const Rect& r) const {
    if (isNull() || r.isNull()) return null();
    if (isInfinite()) return r.standardized();
    if (r.isInfinite()) return standardized();
    const double x0 = std::max(minX(), r.minX());
    const double y0 = std::max(minY(), r.minY());
    const double x1 = std::min(maxX(), r.maxX());
    const double y1 = std::min(maxY(), r.maxY());
    if (x1 < x0 || y1 < y0) return null();
    return Rect(x0, y0, x1 - x0, y1 - y0);
}

Rect Rect::unionWith(const Rect& r) const {
    if (isNull()) return r.standardized();
    if (r.isNull()) return standardized();
    if (isInfinite() || r.isInfinite()) return infinite();
    const double x0 = std::min(minX(), r.minX());
    const double y0 = std::min(minY(), r.minY());
    const double x1 = std::max(maxX(), r.maxX());
    const double y1 = std::max(maxY(), r.maxY());
    return Rect(x0, y0, x1 - x0, y1 - y0);
}

Rect Rect::inset(double dx, double dy) const {
    if (isNull() || isInfinite()) return *this;
    Rect r = standardized();
    r.origin.x += dx;
    r.origin.y += dy;
    r.size.width -= 2 * dx;
    r.size.height -= 2 * dy;
    if (r.size.width < 0 || r.size.height < 0) return null();
    return r;
}

Rect Rect::integral() const {
    if (isNull() || isInfinite()) return *this;
    const double x0 = std::floor(minX());
    const double y0 = std::floor(minY());
    return Rect(x0, y0, std::ceil(maxX()) - x0, std::ceil(maxY()) - y0);
}

Rect Rect::offset(double dx, double dy) const {
    if (isNull() || isInfinite()) return *this;
    return Rect(origin.x + dx, origin.y + dy, size.width, size.height);
}

bool operator==(const Rect& a, const Rect& b) {
    if (a.isNull() || b.isNull()) return a.isNull() && b.isNull();
    const Rect sa = a.standardized();
    const Rect sb = b.standardized();
    return sa.origin == sb.origin && sa.size == sb.size;
}

} // namespace graphics
