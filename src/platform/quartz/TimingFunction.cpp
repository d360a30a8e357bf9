#include "platform/quartz/TimingFunction.h"

#include <cmath>

namespace quartz {

namespace {
// One coordinate of the curve with end points 0 and 1.
double bezier(double p1, double p2, double s) {
    const double r = 1 - s;
    return 3 * r * r * s * p1 + 3 * r * s * s * p2 + s * s * s;
}
double bezierSlope(double p1, double p2, double s) {
    const double r = 1 - s;
    return 3 * r * r * p1 + 6 * r * s * (p2 - p1) + 3 * s * s * (1 - p2);
}
} // namespace

double TimingFunction::valueAt(double x) const {
    if (!(x > 0)) return 0;
    if (x >= 1) return 1;
    if (c1x == c1y && c2x == c2y) return x;
    // x(s) is monotonic for control x in [0, 1]: Newton steps, bisection when they stall.
    double s = x;
    for (int i = 0; i < 8; ++i) {
        const double error = bezier(c1x, c2x, s) - x;
        if (std::fabs(error) < 1e-12) return bezier(c1y, c2y, s);
        const double slope = bezierSlope(c1x, c2x, s);
        if (std::fabs(slope) < 1e-9) break;
        s -= error / slope;
        if (s < 0 || s > 1) break;
    }
    double lo = 0, hi = 1;
    s = x;
    for (int i = 0; i < 60; ++i) {
        s = (lo + hi) / 2;
        if (bezier(c1x, c2x, s) < x)
            lo = s;
        else
            hi = s;
    }
    return bezier(c1y, c2y, s);
}

} // namespace quartz
