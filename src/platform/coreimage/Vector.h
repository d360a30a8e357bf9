#pragma once
// A filter's vector input: one to four numbers (a position, a rectangle as x, y, width,
// height, a colour matrix row). Components beyond the count read as 0.
#include <array>

namespace coreimage {

struct Vector {
    std::array<double, 4> values{};
    int count = 0;

    Vector() = default;
    Vector(double x, double y) : values{x, y, 0, 0}, count(2) {}
    Vector(double x, double y, double z) : values{x, y, z, 0}, count(3) {}
    Vector(double x, double y, double z, double w) : values{x, y, z, w}, count(4) {}

    double at(int i) const { return i >= 0 && i < count ? values[size_t(i)] : 0.0; }
    double x() const { return at(0); }
    double y() const { return at(1); }
    double z() const { return at(2); }
    double w() const { return at(3); }

    friend bool operator==(const Vector&, const Vector&) = default;
};

} // namespace coreimage
