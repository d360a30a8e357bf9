#pragma once
// Integer HSV over 8-bit levels, hue in whole degrees (-1 for grey), saturation and value 0..255.
// Integer divisions throughout, so the results are exact and repeatable to the level.
#include <cstdint>

// Hue, saturation and value of (r, g, b). Ties for the largest channel go to red, then green.
inline void getHsv2(int32_t r, int32_t g, int32_t b, int32_t* h, int32_t* s, int32_t* v) {
    if (!h || !s || !v) return;
    int32_t max = r, min = r;
    char top = 'r';
    if (g > max) {
        max = g;
        top = 'g';
    }
    if (b > max) {
        max = b;
        top = 'b';
    }
    if (g < min) min = g;
    if (b < min) min = b;
    *v = max;
    const int32_t d = max - min;
    *s = max == 0 ? 0 : (510 * d + max) / (2 * max);
    if (*s == 0) {
        *h = -1;
        return;
    }
    const int32_t dd = 2 * d;
    switch (top) {
    case 'r':
        *h = g >= b ? (120 * (g - b) + d) / dd : (120 * (g - b + d) + d) / dd + 300;
        break;
    case 'g':
        *h = b > r ? 120 + (120 * (b - r) + d) / dd : 60 + (120 * (b - r + d) + d) / dd;
        break;
    default:
        *h = r > g ? 240 + (120 * (r - g) + d) / dd : 180 + (120 * (r - g + d) + d) / dd;
        break;
    }
}

// Packed levels: red in bits 0..7, green in 8..15, blue in 16..23. Black for a hue below -1 or a
// saturation or value outside 0..255; grey (v, v, v) for hue -1 or saturation 0.
inline uint32_t hsvToRGB2(int32_t h, int32_t s, int32_t v) {
    if (h < -1 || s < 0 || s > 255 || v < 0 || v > 255) return 0;
    const auto pack = [](int32_t r, int32_t g, int32_t b) {
        return uint32_t(r) | uint32_t(g) << 8 | uint32_t(b) << 16;
    };
    if (s == 0 || h == -1) return pack(v, v, v);
    if (h > 359) h %= 360;
    const int32_t f = h % 60;
    const int32_t sector = h / 60;
    const int32_t p = (2 * v * (255 - s) + 255) / 510;
    if (sector % 2 == 1) {
        const int32_t q = (2 * v * (15300 - s * f) + 15300) / 30600;
        if (sector == 1) return pack(q, v, p);
        if (sector == 3) return pack(p, q, v);
        return pack(v, p, q);
    }
    const int32_t t = (2 * v * (15300 - s * (60 - f)) + 15300) / 30600;
    if (sector == 0) return pack(v, t, p);
    if (sector == 2) return pack(p, v, t);
    return pack(t, p, v);
}
