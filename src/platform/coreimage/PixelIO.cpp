#include "platform/coreimage/PixelIO.h"

#include "platform/graphics/Clamp.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace coreimage {

using graphics::Channel;
using graphics::PixelFormat;

namespace {

struct Layout {
    int r, g, b, a;       // component index of each; a < 0 without alpha
    bool unpremultiplied; // stored colour is not multiplied by alpha
};

Layout layoutOf(const PixelFormat& f) {
    const int a = f.indexOf(Channel::A);
    return {f.indexOf(Channel::R), f.indexOf(Channel::G), f.indexOf(Channel::B), a,
            a >= 0 && !f.premultiplied};
}

constexpr float kByteScale = 1.0f / 255.0f;

using graphics::clamp01;

// Component access for each storage size; memcpy keeps unaligned rows legal.
struct Bytes {
    using Stored = uint8_t;
    static float load(const uint8_t* p) { return float(*p) * kByteScale; }
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

namespace {

// Premultiplied R, G, B, A in that order: the layout evaluation uses, so a plain scale suffices.
bool isEvaluationOrder(const Layout& l) {
    return l.r == 0 && l.g == 1 && l.b == 2 && l.a == 3 && !l.unpremultiplied;
}

// Straight loops over components that the compiler turns into vector code.
void readBytes(const uint8_t* __restrict src, int n, float* __restrict out) {
    for (int i = 0; i < n; ++i)
        out[i] = float(src[i]) * kByteScale;
}
// The compiler keeps the clamping below scalar (a comparison with NaN may trap), so the bulk
// goes through vector instructions by hand; both give the same bytes.
void writeBytes(const float* __restrict in, int n, uint8_t* __restrict dst) {
    int i = 0;
#if defined(__SSE2__)
    const __m128 zero = _mm_setzero_ps(), one = _mm_set1_ps(1.0f), scale = _mm_set1_ps(255.0f),
                 half = _mm_set1_ps(0.5f);
    for (; i + 16 <= n; i += 16) {
        __m128i q[4];
        for (int k = 0; k < 4; ++k) {
            // maxps answers its second operand for NaN: 0.
            const __m128 c = _mm_min_ps(_mm_max_ps(_mm_loadu_ps(in + i + 4 * k), zero), one);
            q[k] = _mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(c, scale), half));
        }
        const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(q[0], q[1]), _mm_packs_epi32(q[2], q[3]));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), bytes);
    }
#endif
    for (; i < n; ++i)
        Bytes::store(dst + i, in[i]);
}

} // namespace

void readPixels(const uint8_t* src, const PixelFormat& format, int count, float* out) {
    const Layout l = layoutOf(format);
    if (format.bitsPerComponent == 8 && isEvaluationOrder(l)) {
        readBytes(src, count * 4, out);
        return;
    }
    switch (format.bitsPerComponent) {
    case 8:
        readSpan<Bytes>(src, l, count, out);
        break;
    case 16:
        readSpan<Shorts>(src, l, count, out);
        break;
    default:
        readSpan<Floats>(src, l, count, out);
        break;
    }
}

void writePixels(const float* in, int count, uint8_t* dst, const PixelFormat& format) {
    const Layout l = layoutOf(format);
    if (format.bitsPerComponent == 8 && isEvaluationOrder(l)) {
        writeBytes(in, count * 4, dst);
        return;
    }
    switch (format.bitsPerComponent) {
    case 8:
        writeSpan<Bytes>(in, l, count, dst);
        break;
    case 16:
        writeSpan<Shorts>(in, l, count, dst);
        break;
    default:
        writeSpan<Floats>(in, l, count, dst);
        break;
    }
}

} // namespace coreimage
