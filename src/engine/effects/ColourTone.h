#pragma once
// What the colour and tone effects share: contrast around mid grey and the three-tone map.
// Inline, no state.
#include "engine/Pixel.h"
#include "engine/PostProcessParameter.h"

#include <memory>

namespace colour_tone {

// Each channel's distance from 0.5 scaled by k, in single precision.
inline float contrast(float c, float k) {
    return (c - 0.5f) * k + 0.5f;
}

inline pixel_t contrast(pixel_t p, float k) {
    return {contrast(p.r, k), contrast(p.g, k), contrast(p.b, k)};
}

// The contrasted pixel's mean L mapped onto three tones: shadow at L = 0, mid at 0.5, hi at 1,
// linear in between (and beyond, for L outside 0..1).
inline pixel_t tritone(pixel_t p, float k, const pixel_t& shadow, const pixel_t& mid, const pixel_t& hi) {
    const pixel_t c = contrast(p, k);
    const float l = (c.r + c.g + c.b) / 3.0f;
    const auto mix = [](const pixel_t& a, const pixel_t& b, float t) {
        return pixel_t{a.r + t * (b.r - a.r), a.g + t * (b.g - a.g), a.b + t * (b.b - a.b)};
    };
    if (l <= 0.5f) return mix(shadow, mid, 2.0f * l);
    return mix(mid, hi, (l - 0.5f) + (l - 0.5f));
}

} // namespace colour_tone
