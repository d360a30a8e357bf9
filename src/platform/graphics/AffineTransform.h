#pragma once
// Affine transforms as the platform composes them: a point maps to
// (a x + c y + tx, b x + d y + ty). translated/rotated/scaled *prepend* their operation, so it
// is applied to points before the transform it is called on; concat(t1, t2) applies t1 first.
#include "platform/graphics/Point.h"
#include "platform/graphics/Rect.h"
#include "platform/graphics/Size.h"

namespace graphics {

struct AffineTransform {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

    static AffineTransform identity() { return {}; }
    static AffineTransform makeTranslation(double tx, double ty);
    static AffineTransform makeScale(double sx, double sy);
    static AffineTransform makeRotation(double radians); // counter-clockwise in y-up space

    AffineTransform translated(double tx, double ty) const;
    AffineTransform scaled(double sx, double sy) const;
    AffineTransform rotated(double radians) const;
    // A singular transform has no inverse and is answered unchanged, as the platform does.
    AffineTransform inverted() const;
    bool isInvertible() const;
    bool isIdentity() const;

    Point apply(Point p) const;
    Size apply(Size s) const; // linear part only
    // Bounding box of the transformed corners; null and infinite rectangles stay as they are.
    Rect apply(const Rect& r) const;

    friend bool operator==(const AffineTransform&, const AffineTransform&) = default;
};

// t1 first, then t2.
AffineTransform concat(const AffineTransform& t1, const AffineTransform& t2);

} // namespace graphics
