#include "platform/coreimage/PixelRect.h"

#include <algorithm>
#include <cmath>

namespace coreimage {

namespace {

// Far enough for any real picture, near enough that widths and areas stay in range.
constexpr double kLimit = double(1 << 28);

int clamped(double v) {
    return int(std::clamp(v, -kLimit, kLimit));
}

PixelRect fromEdges(double x0, double y0, double x1, double y1) {
    const int ix0 = clamped(x0), iy0 = clamped(y0), ix1 = clamped(x1), iy1 = clamped(y1);
    if (ix1 <= ix0 || iy1 <= iy0) return {};
    return {ix0, iy0, ix1 - ix0, iy1 - iy0};
}

} // namespace

PixelRect PixelRect::intersection(const PixelRect& r) const {
    const int x0 = std::max(x, r.x), y0 = std::max(y, r.y);
    const int x1 = std::min(maxX(), r.maxX()), y1 = std::min(maxY(), r.maxY());
    if (x1 <= x0 || y1 <= y0) return {};
    return {x0, y0, x1 - x0, y1 - y0};
}

PixelRect PixelRect::outset(int d) const {
    if (isEmpty()) return *this;
    return {x - d, y - d, width + 2 * d, height + 2 * d};
}

PixelRect pixelsInside(const graphics::Rect& r) {
    if (r.isNull()) return {};
    if (r.isInfinite()) return fromEdges(-kLimit, -kLimit, kLimit, kLimit);
    // Centre x + 0.5 inside [minX, maxX): x from ceil(minX - 0.5) up to ceil(maxX - 0.5).
    return fromEdges(std::ceil(r.minX() - 0.5), std::ceil(r.minY() - 0.5), std::ceil(r.maxX() - 0.5),
                     std::ceil(r.maxY() - 0.5));
}

PixelRect pixelsCovering(const graphics::Rect& r) {
    if (r.isNull()) return {};
    if (r.isInfinite()) return fromEdges(-kLimit, -kLimit, kLimit, kLimit);
    return fromEdges(std::floor(r.minX()), std::floor(r.minY()), std::ceil(r.maxX()), std::ceil(r.maxY()));
}

} // namespace coreimage
