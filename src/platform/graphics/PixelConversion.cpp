#include "platform/graphics/PixelConversion.h"

#include "platform/graphics/ParallelRows.h"

#include <algorithm>

namespace graphics {

namespace {

bool usable(const PixelFormat& f, size_t rowBytes, int width) {
    return f.isValid() && f.bitsPerComponent == 8 && rowBytes >= size_t(width) * 4;
}

uint8_t premultiplied(unsigned c, unsigned a) {
    return uint8_t((c * a + 127) / 255);
}
uint8_t unpremultiplied(unsigned c, unsigned a) {
    return a == 0 ? 0 : uint8_t(std::min(255u, (c * 255 + a / 2) / a));
}

} // namespace

bool convertPixels(const uint8_t* src, size_t srcRowBytes, const PixelFormat& srcFormat, uint8_t* dst,
                   size_t dstRowBytes, const PixelFormat& dstFormat, int width, int height) {
    if (!src || !dst || width <= 0 || height <= 0) return false;
    if (!usable(srcFormat, srcRowBytes, width) || !usable(dstFormat, dstRowBytes, width)) return false;

    const int sr = srcFormat.indexOf(Channel::R), sg = srcFormat.indexOf(Channel::G),
              sb = srcFormat.indexOf(Channel::B), sa = srcFormat.indexOf(Channel::A);
    const int dr = dstFormat.indexOf(Channel::R), dg = dstFormat.indexOf(Channel::G),
              db = dstFormat.indexOf(Channel::B), da = dstFormat.indexOf(Channel::A),
              dx = dstFormat.indexOf(Channel::X);
    // Colour needs premultiplying for a premultiplied target or one without alpha (onto black).
    const bool srcPremultiplied = sa < 0 || srcFormat.premultiplied;
    const bool dstPremultiplied = da < 0 || dstFormat.premultiplied;

    // Captured by value: byte stores could alias captured references and force reloads.
    parallelRows(height, size_t(width), [=](int firstRow, int endRow) {
        for (int y = firstRow; y < endRow; ++y) {
            const uint8_t* s = src + size_t(y) * srcRowBytes;
            uint8_t* d = dst + size_t(y) * dstRowBytes;
            for (int x = 0; x < width; ++x, s += 4, d += 4) {
                const unsigned a = sa >= 0 ? s[sa] : 255u;
                uint8_t c[3] = {s[sr], s[sg], s[sb]};
                if (srcPremultiplied != dstPremultiplied)
                    for (uint8_t& v : c)
                        v = dstPremultiplied ? premultiplied(v, a) : unpremultiplied(v, a);
                d[dr] = c[0];
                d[dg] = c[1];
                d[db] = c[2];
                if (da >= 0) d[da] = uint8_t(a);
                if (dx >= 0) d[dx] = 255;
            }
        }
    });
    return true;
}

} // namespace graphics
