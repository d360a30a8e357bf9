#pragma once
// Rectangles with the platform's semantics, which model code relies on:
// - a negative width or height is legal; getters and set operations standardise it;
// - the null rectangle (no area, no position) is what an empty intersection answers and is
//   ignored by union;
// - the infinite rectangle covers the whole plane (lazy filter extents without bounds);
//   intersecting with it answers the other rectangle.
#include "platform/graphics/Point.h"
#include "platform/graphics/Size.h"

namespace graphics {

struct Rect {
    Point origin;
    Size size;

    Rect() = default;
    Rect(double x, double y, double width, double height) : origin{x, y}, size{width, height} {}
    Rect(Point o, Size s) : origin(o), size(s) {}

    static Rect null();
    static Rect infinite();

    bool isNull() const;
    bool isInfinite() const;
    // True for the null rectangle and for a zero width or height.
    bool isEmpty() const;

    // The same area with non-negative width and height.
    Rect standardized() const;

    double minX() const;
    double midX() const;
    double maxX() const;
    double minY() const;
    double midY() const;
    double maxY() const;
    double width() const;  // never negative
    double height() const; // never negative

    // Half-open: a point on the max edges is outside.
    bool contains(Point p) const;
    bool contains(const Rect& r) const;
    // True when the intersection has an area; rectangles that only touch do not intersect.
    bool intersects(const Rect& r) const;

    Rect intersection(const Rect& r) const;
    Rect unionWith(const Rect& r) const;
    // Shrinks by dx on the left and right and dy at the bottom and top (grows when negative);
    // null when nothing is left.
    Rect inset(double dx, double dy) const;
    // Smallest rectangle with whole-number edges that holds this one.
    Rect integral() const;
    Rect offset(double dx, double dy) const;

    // Equal when they cover the same area (standardised); all null rectangles are equal.
    friend bool operator==(const Rect& a, const Rect& b);
};

} // namespace graphics
