#include "imageview/DabWalk.h"

#include <algorithm>
#include <cmath>

DabWalk::Radii DabWalk::radii(double brushSize, double scale, double pressure, double softness) {
    const double r = (brushSize * 0.5 / scale) * pressure;
    const double k = 1 - softness / 100;
    return {k * r, r * (2 - k)};
}

int DabWalk::step(double outerRadius) {
    return outerRadius < 5 ? 1 : int(std::floor(outerRadius)) / 5;
}

DabWalk DabWalk::walk(std::optional<graphics::Point> from, graphics::Point to, double outerRadius) {
    DabWalk result;
    const double d = 2 * outerRadius;
    if (!(d >= 1) || !std::isfinite(d)) return result;
    graphics::Point low = to, high = to;
    if (from) {
        const graphics::Point o = *from;
        const double dx = to.x - o.x, dy = to.y - o.y;
        const bool alongX = std::fabs(dx) > std::fabs(dy);
        const int s = step(outerRadius);
        if (std::fabs(alongX ? dx : dy) < s) {
            result.deferred = true;
            return result;
        }
        // The line through both points: (o.y - to.y) x + (to.x - o.x) y + (o.x to.y - to.x o.y) = 0.
        const double a = o.y - to.y, b = to.x - o.x, c = o.x * to.y - to.x * o.y;
        const double start = std::min(alongX ? o.x : o.y, alongX ? to.x : to.y);
        const double end = std::max(alongX ? o.x : o.y, alongX ? to.x : to.y);
        for (double t = std::trunc(start + 1); t < std::trunc(end); t += s)
            result.dabs.push_back(alongX ? graphics::Point{t, -(a * t + c) / b}
                                         : graphics::Point{-(b * t + c) / a, t});
        low = {std::min(o.x, to.x), std::min(o.y, to.y)};
        high = {std::max(o.x, to.x), std::max(o.y, to.y)};
    }
    result.dabs.push_back(to);
    const float x = std::floor(float(low.x - outerRadius)), y = std::floor(float(low.y - outerRadius));
    const float w = std::ceil(float(high.x + outerRadius - low.x + outerRadius));
    const float h = std::ceil(float(high.y + outerRadius - low.y + outerRadius));
    result.redrawArea = graphics::Rect(x, y, w, h);
    return result;
}
