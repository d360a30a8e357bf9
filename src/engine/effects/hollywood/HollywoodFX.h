#pragma once
// What the Hollywood FX film looks share: their contrast curve, the soft glow two of them add, the
// stepped edge darkening of the comics looks and the thermal palette. Per-pixel, inline, no state.
#include "engine/Neighbourhood.h"
#include "engine/Pixel.h"
#include "engine/PostProcessParameter.h"

#include <cmath>
#include <cstdint>
#include <memory>

// The fractional part, with the sign of v.
inline float frac(float v) {
    return v - float(std::trunc(v));
}

// Five-colour thermal palette over h in 0..1: blue, cyan, green, yellow, then red from h = 4/6.
inline pixel_t hsv(float h) {
    const float t = 6.0f * h;
    if (t < 1.0f) return {0.0f, 0.0f, 1.0f};
    if (t < 2.0f) return {0.0f, 1.0f, 1.0f};
    if (t < 3.0f) return {0.0f, 1.0f, 0.0f};
    if (t < 4.0f) return {1.0f, 1.0f, 0.0f};
    return {1.0f, 0.0f, 0.0f};
}

namespace hollywood_fx {

// An 8-bit colour constant as floats.
constexpr pixel_t colour(int r, int g, int b) {
    return {float(r) / 255.0f, float(g) / 255.0f, float(b) / 255.0f};
}

// Contrast c around mid-grey, per channel in float.
inline pixel_t contrast(pixel_t p, float c) {
    return {(p.r - 0.5f) * c + 0.5f, (p.g - 0.5f) * c + 0.5f, (p.b - 0.5f) * c + 0.5f};
}

// A channel times a double factor, rounded back to float.
inline pixel_t scaled(pixel_t p, double k) {
    return {float(double(p.r) * k), float(double(p.g) * k), float(double(p.b) * k)};
}

// The glow added on top: a tenth of the contrast-raised brightness of the neighbourhood at
// radius 3. Kept in double; callers add it to float channels in double.
inline double glow(int32_t x, int32_t y) {
    const pixel_t bl = do_blur(x, y, 3.0f);
    const float g = (bl.g - 0.5f) * 1.5f + 0.5f;
    const float r = (bl.r - 0.5f) * 1.5f + 0.5f;
    const float b = (bl.b - 0.5f) * 1.5f + 0.5f;
    return double((g + r + b) / 3.0f) * 0.1;
}

inline pixel_t add_glow(pixel_t p, double glow) {
    return {float(double(p.r) + glow), float(double(p.g) + glow), float(double(p.b) + glow)};
}

// Edge darkening of the comics looks: 1 on flat areas down to 0 on strong edges, in steps steps.
inline float edge_factor(int32_t x, int32_t y, float steps) {
    const float e = do_edge_detection(x, y, false, 1.0f, 1.0f, 1.0f);
    return std::trunc((1.0f - e) * steps) / steps;
}

} // namespace hollywood_fx
