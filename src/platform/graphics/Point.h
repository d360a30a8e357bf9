#pragma once
// A position in y-up coordinates (origin bottom-left), in points or pixels as the caller says.

namespace graphics {

struct Point {
    double x = 0;
    double y = 0;

    friend bool operator==(const Point&, const Point&) = default;
};

} // namespace graphics
