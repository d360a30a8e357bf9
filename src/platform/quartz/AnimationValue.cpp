#include "platform/quartz/AnimationValue.h"

#include <cmath>
#include <numbers>

namespace quartz {

TransformParts TransformParts::of(const graphics::AffineTransform& t) {
    TransformParts p;
    p.tx = t.tx;
    p.ty = t.ty;
    p.sx = std::hypot(t.a, t.b);
    p.sy = std::hypot(t.c, t.d);
    if (t.a * t.d - t.b * t.c < 0) {
        if (t.a < t.d)
            p.sx = -p.sx;
        else
            p.sy = -p.sy;
    }
    const double u0x = p.sx != 0 ? t.a / p.sx : 0, u0y = p.sx != 0 ? t.b / p.sx : 0;
    const double u1x = p.sy != 0 ? t.c / p.sy : 0, u1y = p.sy != 0 ? t.d / p.sy : 0;
    p.angle = (u0x == 0 && u0y == 0) ? 0 : std::atan2(u0y, u0x);
    const double cs = std::cos(p.angle), sn = std::sin(p.angle);
    p.k11 = cs * u0x + sn * u0y;
    p.k21 = -sn * u0x + cs * u0y;
    p.k12 = cs * u1x + sn * u1y;
    p.k22 = -sn * u1x + cs * u1y;
    return p;
}

graphics::AffineTransform TransformParts::transform() const {
    // Rotation times the remainder times the scale, as column vectors.
    const double cs = std::cos(angle), sn = std::sin(angle);
    const double r11 = cs * k11 - sn * k21, r12 = cs * k12 - sn * k22;
    const double r21 = sn * k11 + cs * k21, r22 = sn * k12 + cs * k22;
    graphics::AffineTransform t;
    t.a = r11 * sx;
    t.b = r21 * sx;
    t.c = r12 * sy;
    t.d = r22 * sy;
    t.tx = tx;
    t.ty = ty;
    return t;
}

double interpolate(double from, double to, double progress) {
    return from + (to - from) * progress;
}

graphics::Point interpolate(graphics::Point from, graphics::Point to, double progress) {
    return {interpolate(from.x, to.x, progress), interpolate(from.y, to.y, progress)};
}

graphics::Rect interpolate(const graphics::Rect& from, const graphics::Rect& to, double progress) {
    return {interpolate(from.origin.x, to.origin.x, progress),
            interpolate(from.origin.y, to.origin.y, progress),
            interpolate(from.size.width, to.size.width, progress),
            interpolate(from.size.height, to.size.height, progress)};
}

graphics::AffineTransform interpolate(const graphics::AffineTransform& from,
                                      const graphics::AffineTransform& to, double progress) {
    if (progress == 0) return from;
    if (progress == 1) return to;
    TransformParts a = TransformParts::of(from), b = TransformParts::of(to);
    // One flipped in x and the other in y: read the first as a half turn instead.
    if ((a.sx < 0 && b.sy < 0) || (a.sy < 0 && b.sx < 0)) {
        a.sx = -a.sx;
        a.sy = -a.sy;
        a.angle += a.angle < 0 ? std::numbers::pi : -std::numbers::pi;
    }
    // The short way round.
    if (std::fabs(a.angle - b.angle) > std::numbers::pi) {
        if (a.angle > b.angle)
            a.angle -= 2 * std::numbers::pi;
        else
            b.angle -= 2 * std::numbers::pi;
    }
    TransformParts p;
    p.tx = interpolate(a.tx, b.tx, progress);
    p.ty = interpolate(a.ty, b.ty, progress);
    p.angle = interpolate(a.angle, b.angle, progress);
    p.sx = interpolate(a.sx, b.sx, progress);
    p.sy = interpolate(a.sy, b.sy, progress);
    p.k11 = interpolate(a.k11, b.k11, progress);
    p.k12 = interpolate(a.k12, b.k12, progress);
    p.k21 = interpolate(a.k21, b.k21, progress);
    p.k22 = interpolate(a.k22, b.k22, progress);
    return p.transform();
}

} // namespace quartz
