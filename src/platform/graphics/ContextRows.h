#pragma once
// How drawing writes into a bitmap context: which pixels a rectangle covers along an axis, and
// premultiplied RGBA floats composited source-over into a row of the context's layout. Shared by
// the drawing calls and ScaledImage so that every path stores the same bytes.
#include "platform/graphics/PixelFormat.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace graphics {

// Output pixels [first, end) along one axis.
struct Span {
    int first = 0;
    int end = 0;
    int size() const { return end - first; }
};

// Pixels of [0, n) whose centre lies in [start, start + length).
inline Span coveredSpan(double start, double length, int n) {
    if (!(length > 0) || !std::isfinite(start) || !std::isfinite(length)) return {};
    const double lo = std::clamp(std::ceil(start - 0.5), 0.0, double(n));
    const double hi = std::clamp(std::ceil(start + length - 0.5), 0.0, double(n));
    return {int(lo), int(std::max(lo, hi))};
}

inline constexpr std::array<float, 256> kByteUnits = [] {
    std::array<float, 256> values{};
    for (int i = 0; i < 256; ++i)
        values[size_t(i)] = float(i) / 255.0f;
    return values;
}();

inline float unitOf(uint8_t v) {
    return kByteUnits[v];
}
inline float unitOf(uint16_t v) {
    return float(v) / 65535.0f;
}
inline float unitOf(float v) {
    return v;
}

// The loops copy the layout into locals: byte stores could alias the members and force a reload
// per pixel.
class ContextRows {
  public:
    explicit ContextRows(const PixelFormat& f)
        : layout_{f.indexOf(Channel::R), f.indexOf(Channel::G), f.indexOf(Channel::B), f.indexOf(Channel::A),
                  f.indexOf(Channel::X)} {}

    void composite(const float* src, int n, uint8_t* dst) const {
        const Layout to = layout_;
        for (int i = 0; i < n; ++i, src += 4, dst += 4)
            compositePixel(to, src, dst);
    }

    // An 8-bit source row at the same scale: opaque pixels are copied byte for byte (the
    // result the float path gives them), the others go through compositePixel.
    void compositeBytes(const uint8_t* src, const PixelFormat& format, int n, uint8_t* dst) const {
        const Layout to = layout_;
        const int r = format.indexOf(Channel::R), g = format.indexOf(Channel::G),
                  b = format.indexOf(Channel::B), a = format.indexOf(Channel::A);
        const bool straight = !format.premultiplied;
        for (int i = 0; i < n; ++i, src += 4, dst += 4) {
            if (a < 0 || src[a] == 255) {
                const uint8_t red = src[r], green = src[g], blue = src[b];
                dst[to.r] = red;
                dst[to.g] = green;
                dst[to.b] = blue;
                if (to.a >= 0) dst[to.a] = 255;
                if (to.x >= 0) dst[to.x] = 255;
                continue;
            }
            const float alpha = unitOf(src[a]);
            const float m = straight ? alpha : 1.0f;
            const float px[4] = {unitOf(src[r]) * m, unitOf(src[g]) * m, unitOf(src[b]) * m, alpha};
            compositePixel(to, px, dst);
        }
    }

  private:
    struct Layout {
        int r, g, b, a, x; // memory index of each channel; a or x is -1
    };

    static void compositePixel(const Layout to, const float* src, uint8_t* dst) {
        const float a = clampTo(src[3], 1.0f);
        float r = clampTo(src[0], a), g = clampTo(src[1], a), b = clampTo(src[2], a);
        float outA = 1.0f;
        if (a < 1.0f) {
            const float keep = 1.0f - a;
            const float dstA = to.a >= 0 ? unitOf(dst[to.a]) : 1.0f;
            r += unitOf(dst[to.r]) * keep;
            g += unitOf(dst[to.g]) * keep;
            b += unitOf(dst[to.b]) * keep;
            outA = a + dstA * keep;
        }
        dst[to.r] = toByte(r);
        dst[to.g] = toByte(g);
        dst[to.b] = toByte(b);
        if (to.a >= 0) dst[to.a] = toByte(outA);
        if (to.x >= 0) dst[to.x] = 255;
    }

    // NaN becomes 0.
    static float clampTo(float v, float hi) { return v > 0.0f ? (v < hi ? v : hi) : 0.0f; }
    static uint8_t toByte(float v) { return uint8_t(clampTo(v, 1.0f) * 255.0f + 0.5f); }

    Layout layout_;
};

} // namespace graphics
