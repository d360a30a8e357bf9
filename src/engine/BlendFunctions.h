#pragma once
// Blend modes and colour-space conversions that effects call per pixel. Pure, re-entrant,
// no allocation. Each formula is evaluated in exactly the precision effects were tuned with:
// "double" below means the float operands are widened, the whole expression runs in double
// and the result is rounded to float once. Nothing is clamped unless said: the run loop
// clamps the final pixel. A NaN channel fails every comparison, so it takes the formula
// branch, and the min/max here hand it on instead of dropping it.
#include <cmath>
#include <cstdint>

#include "engine/Pixel.h"

// Hue, saturation and lightness, each 0..1 (hue as a fraction of the full circle).
struct hsl_t {
    float h;
    float s;
    float l;
};

namespace blend_detail {

// Unlike std::min/std::fmin, a NaN in either operand comes out.
template <typename T> constexpr T min_nan(T x, T y) {
    return (x < y || x != x) ? x : y;
}
template <typename T> constexpr T max_nan(T x, T y) {
    return (x > y || x != x) ? x : y;
}

template <typename F> inline pixel_t per_channel(pixel_t a, pixel_t b, F f) {
    return {f(a.r, b.r), f(a.g, b.g), f(a.b, b.b)};
}

// Truncation into 0..255; out-of-range and NaN values would be undefined as a plain cast.
inline uint32_t trunc_channel(double v) {
    if (!(v > 0.0)) return 0;
    if (v >= 255.0) return 255;
    return static_cast<uint32_t>(v);
}

// (1 - 2y) x^2 + 2 x y below y = 0.5, with x^2 in float; soft and hard light differ only in
// which operand is x.
inline float soft_light_channel(float x, float y) {
    const double X = x, Y = y;
    if (y < 0.5f) {
        const float x2 = x * x;
        return static_cast<float>((1.0 - 2.0 * Y) * x2 + 2.0 * X * Y);
    }
    return static_cast<float>((1.0 - Y) * 2.0 * X + (2.0 * Y - 1.0) * std::sqrt(X));
}

// Kept in double: hard mix thresholds this value before any rounding.
inline double vivid_light_channel(float a, float b) {
    const double A = a;
    if (b < 0.5f) {
        const double t = 2.0 * b;
        if (t == 0.0) return 0.0;
        return max_nan(0.0, 1.0 - (1.0 - A) / t);
    }
    const double t = 2.0 * (b - 0.5);
    if (t == 1.0) return 1.0;
    return min_nan(1.0, A / (1.0 - t));
}

// Shared by both hue helpers; they differ only in how 2/3 was rounded.
inline float hue_to_channel(float p, float q, float h, double two_thirds) {
    if (h < 0.0f)
        h = h + 1.0f;
    else if (h > 1.0f)
        h = h - 1.0f;
    const double P = p, Q = q, H = h;
    if (6.0 * H < 1.0) return static_cast<float>(P + (Q - P) * 6.0 * H);
    if (2.0 * H < 1.0) return q;
    if (3.0 * H < 2.0) return static_cast<float>(P + (two_thirds - H) * (Q - P) * 6.0);
    return p;
}

} // namespace blend_detail

inline pixel_t blend_darken(pixel_t a, pixel_t b) {
    return blend_detail::per_channel(a, b, [](float x, float y) { return blend_detail::min_nan(x, y); });
}

inline pixel_t blend_lighten(pixel_t a, pixel_t b) {
    return blend_detail::per_channel(a, b, [](float x, float y) { return blend_detail::max_nan(x, y); });
}

inline pixel_t blend_difference(pixel_t a, pixel_t b) {
    return blend_detail::per_channel(a, b, [](float x, float y) { return std::fabs(x - y); });
}

inline pixel_t blend_add(pixel_t a, pixel_t b) {
    return blend_detail::per_channel(a, b, [](float x, float y) { return x + y; });
}

inline pixel_t blend_screen(pixel_t a, pixel_t b) {
    return blend_detail::per_channel(a, b, [](float x, float y) {
        return static_cast<float>(1.0 - (1.0 - double(y)) * (1.0 - double(x)));
    });
}

inline pixel_t blend_overlay(pixel_t a, pixel_t b) {
    return blend_detail::per_channel(a, b, [](float x, float y) {
        const double X = x, Y = y;
        if (x < 0.5f) return static_cast<float>(Y * (2.0 * X));
        return static_cast<float>(1.0 - 2.0 * (1.0 - X) * (1.0 - Y));
    });
}

inline pixel_t blend_soft_light(pixel_t a, pixel_t b) {
    return blend_detail::per_channel(a, b,
                                     [](float x, float y) { return blend_detail::soft_light_channel(x, y); });
}

inline pixel_t blend_hard_light(pixel_t a, pixel_t b) {
    return blend_detail::per_channel(a, b,
                                     [](float x, float y) { return blend_detail::soft_light_channel(y, x); });
}

inline pixel_t blend_hard_light2(pixel_t a, pixel_t b) {
    return blend_detail::per_channel(a, b, [](float x, float y) {
        const double X = x, Y = y;
        if (y > 0.5f) return static_cast<float>(1.0 - (2.0 - 2.0 * Y) * (1.0 - X));
        return static_cast<float>(X * (2.0 * Y));
    });
}

inline pixel_t blend_linear_light(pixel_t a, pixel_t b) {
    return blend_detail::per_channel(a, b, [](float x, float y) {
        const double X = x, Y = y;
        if (y < 0.5f) return static_cast<float>(blend_detail::max_nan(0.0, X + 2.0 * Y - 1.0));
        return static_cast<float>(blend_detail::min_nan(1.0, X + 2.0 * (Y - 0.5)));
    });
}

inline pixel_t blend_color_burn(pixel_t a, pixel_t b) {
    return blend_detail::per_channel(a, b, [](float x, float y) {
        if (y == 0.0f) return y;
        return static_cast<float>(blend_detail::max_nan(0.0, 1.0 - (1.0 - double(x)) / double(y)));
    });
}

inline pixel_t blend_color_dodge(pixel_t a, pixel_t b) {
    return blend_detail::per_channel(a, b, [](float x, float y) {
        if (y == 1.0f) return y;
        return static_cast<float>(blend_detail::min_nan(1.0, double(x) / (1.0 - double(y))));
    });
}

inline pixel_t blend_vivid_light(pixel_t a, pixel_t b) {
    return blend_detail::per_channel(
        a, b, [](float x, float y) { return static_cast<float>(blend_detail::vivid_light_channel(x, y)); });
}

inline pixel_t blend_hard_mix(pixel_t a, pixel_t b) {
    return blend_detail::per_channel(
        a, b, [](float x, float y) { return blend_detail::vivid_light_channel(x, y) < 0.5 ? 0.0f : 1.0f; });
}

// k = 1 gives a, k = 0 gives b.
inline pixel_t blend_alpha(pixel_t a, pixel_t b, float k) {
    return blend_detail::per_channel(a, b, [k](float x, float y) {
        const float xk = x * k;
        return static_cast<float>(double(xk) + double(y) * (1.0 - double(k)));
    });
}

// 0 below edge0, 1 from edge1 on, a cubic ease between. The edge0 test comes first, so with
// edge0 > edge1 everything below edge0 is 0.
inline double smoothstep(double edge0, double edge1, double x) {
    if (x < edge0) return 0.0;
    if (x >= edge1) return 1.0;
    const double t = (x - edge0) / (edge1 - edge0);
    return t * t * (3.0 - 2.0 * t);
}

inline hsl_t RGBToHSL(pixel_t p) {
    using blend_detail::max_nan;
    using blend_detail::min_nan;
    const float mn = min_nan(min_nan(p.r, p.g), p.b);
    const float mx = max_nan(max_nan(p.r, p.g), p.b);
    const float d = mx - mn;
    const float l = 0.5f * (mx + mn);
    if (d == 0.0f) return {0.0f, 0.0f, l};

    const float s =
        l < 0.5f ? d / (mx + mn) : static_cast<float>(double(d) / (2.0 - double(mx) - double(mn)));
    const auto delta = [mx, d](float c) {
        return static_cast<float>(((double(mx) - double(c)) / 6.0 + double(d) / 2.0) / double(d));
    };
    const float dR = delta(p.r), dG = delta(p.g), dB = delta(p.b);
    float h = 0.0f;
    if (p.r == mx)
        h = dB - dG;
    else if (p.g == mx)
        h = static_cast<float>(1.0 / 3.0 + double(dR) - double(dB));
    else if (p.b == mx)
        h = static_cast<float>(2.0 / 3.0 + double(dG) - double(dR));
    if (h < 0.0f)
        h = h + 1.0f;
    else if (h > 1.0f)
        h = h - 1.0f;
    return {h, s, l};
}

inline float HueToRGB(float p, float q, float h) {
    return blend_detail::hue_to_channel(p, q, h, 2.0 / 3.0);
}

// Uses "< 0.5" where Color_HlsToRgb uses "<= 0.5"; both are relied on.
inline pixel_t HSLToRGB(hsl_t c) {
    if (c.s == 0.0f) return {c.l, c.l, c.l};
    const float q =
        c.l < 0.5f ? static_cast<float>((1.0 + double(c.s)) * double(c.l)) : (c.l + c.s) - c.s * c.l;
    const float p = static_cast<float>(2.0 * double(c.l) - double(q));
    return {HueToRGB(p, q, static_cast<float>(double(c.h) + 1.0 / 3.0)), HueToRGB(p, q, c.h),
            HueToRGB(p, q, static_cast<float>(double(c.h) - 1.0 / 3.0))};
}

// Byte-based conversion pair behind blend_luminocity; single precision with float constants.
inline bool Color_RgbToHls(uint8_t r, uint8_t g, uint8_t b, float* h, float* l, float* s) {
    using blend_detail::max_nan;
    using blend_detail::min_nan;
    const float R = float(r) / 255.0f, G = float(g) / 255.0f, B = float(b) / 255.0f;
    const float mx = max_nan(max_nan(R, G), B);
    const float mn = min_nan(min_nan(R, G), B);
    *h = 0.0f;
    *l = 0.5f * (mx + mn);
    *s = 0.0f;
    if (mx == mn) return true;

    const float d = mx - mn;
    *s = *l < 0.5f ? d / (mx + mn) : static_cast<float>(double(d) / (2.0 - double(mx) - double(mn)));
    float hue;
    if (R == mx)
        hue = (G - B) / d;
    else if (G != mx)
        hue = (R - G) / d + 4.0f;
    else
        hue = (B - R) / d + 2.0f;
    hue = hue / 6.0f;
    if (hue < 0.0f) hue = hue + 1.0f;
    *h = hue;
    return true;
}

inline bool Color_HueToRgb(float* out, float m1, float m2, float h) {
    *out = blend_detail::hue_to_channel(m1, m2, h, double(0.6666667f));
    return true;
}

// Outputs are 0..255 (truncated); l <= 0.5 here, unlike HSLToRGB.
inline bool Color_HlsToRgb(uint32_t* r, uint32_t* g, uint32_t* b, float h, float l, float s) {
    using blend_detail::trunc_channel;
    if (s == 0.0f) {
        *r = *g = *b = trunc_channel(l * 255.0f);
        return true;
    }
    const float m2 = l <= 0.5f ? static_cast<float>((double(s) + 1.0) * double(l)) : l + s - l * s;
    const float m1 = static_cast<float>(2.0 * double(l) - double(m2));
    const float third = 0.33333334f;
    float v;
    Color_HueToRgb(&v, m1, m2, h + third);
    *r = trunc_channel(255.0f * v);
    Color_HueToRgb(&v, m1, m2, h);
    *g = trunc_channel(255.0f * v);
    Color_HueToRgb(&v, m1, m2, h - third);
    *b = trunc_channel(255.0f * v);
    return true;
}

// Hue and saturation of a with the lightness of b, through bytes. The channels go in as
// blue, green, red and the outputs are read back reversed; the hue depends on that order.
inline pixel_t blend_luminocity(pixel_t a, pixel_t b) {
    using blend_detail::trunc_channel;
    const auto byte = [](float c) { return static_cast<uint8_t>(trunc_channel(double(c) * 255.0)); };
    float h1, l1, s1, h2, l2, s2;
    Color_RgbToHls(byte(a.b), byte(a.g), byte(a.r), &h1, &l1, &s1);
    Color_RgbToHls(byte(b.b), byte(b.g), byte(b.r), &h2, &l2, &s2);
    uint32_t o1, o2, o3;
    Color_HlsToRgb(&o1, &o2, &o3, h1, l2, s1);
    return {float(o3) / 255.0f, float(o2) / 255.0f, float(o1) / 255.0f};
}
