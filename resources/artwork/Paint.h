#pragma once
// Drawing primitives shared by every family: tone helpers, strokes with pressure, discs and
// the marks of wear (specks, hairs, scratches).
#include "Noise.h"
#include "Raster.h"

#include <algorithm>
#include <cmath>

namespace artwork {

inline float clamp01(float v) {
    return std::clamp(v, 0.0f, 1.0f);
}
inline float mix(float a, float b, float t) {
    return a + (b - a) * t;
}
inline Rgb mix(Rgb a, Rgb b, float t) {
    return a + (b - a) * t;
}
inline float smoothstep(float e0, float e1, float x) {
    const float t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3.0f - 2.0f * t);
}
// Screen of two values: lighter than both, as light adds.
inline float screen(float a, float b) {
    return 1.0f - (1.0f - a) * (1.0f - b);
}
inline Rgb screen(Rgb a, Rgb b) {
    return {screen(a.r, b.r), screen(a.g, b.g), screen(a.b, b.b)};
}

// Distance from the centre of a w x h picture in half-sides: 0 at the centre, 1 at the middle of
// each edge, more toward the corners (the p-norm). p is 2 (an ellipse), 4 or 8 (squarer).
inline float edgeDistance(float x, float y, int w, int h, int p = 2) {
    const float nx = 2.0f * (x + 0.5f) / float(w) - 1.0f, ny = 2.0f * (y + 0.5f) / float(h) - 1.0f;
    float a = nx * nx, b = ny * ny;
    for (int k = 2; k < p; k *= 2)
        a *= a, b *= b;
    float d = a + b;
    for (int k = p; k > 1; k /= 2)
        d = std::sqrt(d);
    return d;
}

// A pencil or scratch line from (x0, y0) to (x1, y1), bowed sideways by `bend` pixels at its
// middle. Pressure rises over the first `taper` of the length and falls over the last, thinning
// and lightening the ends.
struct Stroke {
    float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    float width = 1.5f;
    float bend = 0;
    float taper = 0.2f;
};

// A stroke of the given length starting at (x, y) and heading at an angle in radians.
inline Stroke strokeFrom(float x, float y, float radians, float length) {
    const Direction d = direction(radians);
    Stroke s;
    s.x0 = x, s.y0 = y, s.x1 = x + length * d.x, s.y1 = y + length * d.y;
    return s;
}

// Calls mark(x, y, coverage) for every pixel of a w x h picture the stroke covers (coverage
// in 0..1, pressure included). With wrap the stroke continues across the edges, for tiles.
template <class Mark> void drawStroke(int w, int h, const Stroke& s, bool wrap, Mark mark) {
    const float dx = s.x1 - s.x0, dy = s.y1 - s.y0;
    const float length = std::sqrt(dx * dx + dy * dy);
    if (length < 1.0f) return;
    const float ux = dx / length, uy = dy / length;
    const float reach = s.width + std::fabs(s.bend) + 2.0f;
    int left = int(std::floor(std::min(s.x0, s.x1) - reach)),
        right = int(std::ceil(std::max(s.x0, s.x1) + reach));
    int top = int(std::floor(std::min(s.y0, s.y1) - reach)),
        bottom = int(std::ceil(std::max(s.y0, s.y1) + reach));
    if (!wrap) {
        left = std::max(left, 0), top = std::max(top, 0);
        right = std::min(right, w - 1), bottom = std::min(bottom, h - 1);
    }
    for (int y = top; y <= bottom; ++y) {
        // Only the part of the row near the stroke's axis and between its ends is visited.
        const float py = float(y) + 0.5f - s.y0;
        float lo = float(left) + 0.5f - s.x0, hi = float(right) + 0.5f - s.x0;
        auto keepBetween = [&](float a, float b) {
            lo = std::max(lo, std::min(a, b) - 1.0f), hi = std::min(hi, std::max(a, b) + 1.0f);
        };
        if (std::fabs(uy) > 1e-4f) keepBetween((py * ux - reach) / uy, (py * ux + reach) / uy);
        if (std::fabs(ux) > 1e-4f) keepBetween(-py * uy / ux, (length - py * uy) / ux);
        const int first = std::max(left, int(std::floor(lo + s.x0 - 0.5f)));
        const int last = std::min(right, int(std::ceil(hi + s.x0 - 0.5f)));
        for (int x = first; x <= last; ++x) {
            const float px = float(x) + 0.5f - s.x0;
            const float t = (px * ux + py * uy) / length;
            if (t <= 0.0f || t >= 1.0f) continue;
            const float across = py * ux - px * uy - s.bend * 4.0f * t * (1.0f - t);
            const float pressure = smoothstep(0.0f, s.taper, t) * smoothstep(0.0f, s.taper, 1.0f - t);
            const float half = 0.5f * s.width * (0.4f + 0.6f * pressure);
            const float coverage = clamp01(half - std::fabs(across) + 0.5f) * pressure;
            if (coverage <= 0.0f) continue;
            if (wrap)
                mark(((x % w) + w) % w, ((y % h) + h) % h, coverage);
            else
                mark(x, y, coverage);
        }
    }
}

// Calls mark(x, y, d) for every pixel of a w x h picture within `radius` of (cx, cy), with d the
// distance in radii (0 at the centre, below 1 at the rim).
template <class Mark> void drawDisc(int w, int h, float cx, float cy, float radius, Mark mark) {
    const int left = std::max(0, int(cx - radius - 1)), right = std::min(w - 1, int(cx + radius + 1));
    const int top = std::max(0, int(cy - radius - 1)), bottom = std::min(h - 1, int(cy + radius + 1));
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            const float ddx = float(x) + 0.5f - cx, ddy = float(y) + 0.5f - cy;
            const float d = std::sqrt(ddx * ddx + ddy * ddy) / radius;
            if (d < 1.0f) mark(x, y, d);
        }
    }
}

// Wear on an old print: round dust specks, short curled hairs and long faint scratches, sizes in
// pixels. addWear leaves the coverage (0..1, the strongest mark wins) in the plane, which the
// picture then lightens or darkens by.
struct Wear {
    int specks = 0;
    float speckRadius = 1.5f;
    int hairs = 0;
    float hairLength = 40.0f;
    int scratches = 0;
    float scratchWidth = 1.0f;
};
void addWear(Plane& coverage, const Wear& wear, uint64_t seed);

} // namespace artwork
