#pragma once
// Helpers for geometry that the system computes partly in single precision: each rounds its
// argument (and result) through float so double-based code reproduces the same values.
#include <cmath>

namespace graphics {

inline double f32(double x) {
    return double(float(x));
}
inline double roundf32(double x) {
    return double(std::round(float(x)));
}
inline double floorf32(double x) {
    return double(std::floor(float(x)));
}
inline double ceilf32(double x) {
    return double(std::ceil(float(x)));
}

// Pi and two pi as the single-precision constants the view code uses (3.1415927410125732).
inline constexpr double kPiF32 = double(float(3.14159265358979323846));
inline constexpr double kTwoPiF32 = double(float(6.28318530717958647692));

} // namespace graphics
