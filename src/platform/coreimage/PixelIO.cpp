#include "platform/coreimage/PixelIO.h"

#include <array>
#include <cstring>

namespace coreimage {

using graphics::Channel;
using graphics::PixelFormat;

namespace {

struct Layout {
    int r, g, b, a; // component index of each; a < 0 without alpha
    bool unpremultiplied; // stored colour is not multiplied by alpha
};

Layout layoutOf(const PixelFormat& f) {
    const int a = f.indexOf(Channel::A);
    return {f.indexOf(Channel::R), f.indexOf(Channel::G), f.indexOf(Channel::B), a, a >= 0 && !f.premultiplied};
}

constexpr std::array<float, 256> kByteValues = [] {
    std::array<float, 256> t{};
    for (int i = 0; i < 256; ++i) t[size_t(i)] = float(i) / 255.0f;
    return t;
}();

float clamp01(float v) { return v > 0.0f ? (v < 1.0f ? v : 1.0f) : 0.0f; }

// Component access for each storage size; memcpy keeps unaligned rows legal.
struct Bytes {
    using Stored = uint8_t;
    static float load(const uint8_t* p) { return kByteValues[*p]; }
    static void store(uint8_t* p, float v) { *p = uint8_t(clamp01(v) * 255.0f + 0.5f); }
};
struct Shorts {
    using Stored = uint16_t;
    static float load(const uint8_t* p) {
        uint16_t v;
        std::memcpy(&v, p, 2);
        return float(v) / 65535.0f;
    }
    static void store(uint8_t* p, float v) {
        const uint16_t s = uint16_t(clamp01(v) * 65535.0f + 0.5f);
        std::memcpy(p, &s, 2);
    }
};
struct Floats {
    using Stored = float;
    static float load(const uint8_t* p) {
        float v;
        std::memcpy(&v, p, 4);
        return v;
    }
    static void store(uint8_t* p, float v) {
        const float s = clamp01(v);
        std::memcpy(p, &s, 4);
    }
};

template <typename C> void readSpan(const uint8_t* src, const Layout& l, int count, float* out) {
    constexpr int size = int(sizeof(typename C::Stored));
    for (int i = 0; i < count; ++i, src += 4 * size, out += 4) {
        const float a = l.a >= 0 ? C::load(src + l.a * size) : 1.0f;
        float r = C::load(src + l.r * size), g = C::load(src + l.g * size), b = C::load(src + l.b * size);
        if (l.unpremultiplied) {
            r *= a;
            g *= a;
            b *= a;
        }
        out[0] = r;
        out[1] = g;
        out[2] = b;
        out[3] = a;
    }
}

template <typename C> void writeSpan(const float* in, const Layout& l, int count, uint8_t* dst) {
    constexpr int size = int(sizeof(typename C::Stored));
    const int skipped = 6 - l.r - l.g - l.b; // the index left over when there is no alpha
    for (int i = 0; i < count; ++i, in += 4, dst += 4 * size) {
        float r = in[0], g = in[1], b = in[2];
        const float a = clamp01(in[3]);
        if (l.unpremultiplied) {
            const float inverse = a > 0.0f ? 1.0f / a : 0.0f;
            r *= inverse;
            g *= inverse;
            b *= inverse;
        }
        C::store(dst + l.r * size, r);
        C::store(dst + l.g * size, g);
        C::store(dst + l.b * size, b);
        C::store(dst + (l.a >= 0 ? l.a : skipped) * size, l.a >= 0 ? a : 1.0f);
    }
}

} // namespace

void readPixels(const uint8_t* src, const PixelFormat& format, int count, float* out) {
    const Layout l = layoutOf(format);
    switch (format.bitsPerComponent) {
    case 8: readSpan<Bytes>(src, l, count, out); break;
    case 16: readSpan<Shorts>(src, l, count, out); break;
    default: readSpan<Floats>(src, l, count, out); break;
    }
}

void writePixels(const float* in, int count, uint8_t* dst, const PixelFormat& format) {
    const Layout l = layoutOf(format);
    switch (format.bitsPerComponent) {
    case 8: writeSpan<Bytes>(in, l, count, dst); break;
    case 16: writeSpan<Shorts>(in, l, count, dst); break;
    default: writeSpan<Floats>(in, l, count, dst); break;
    }
}

} // namespace coreimage
