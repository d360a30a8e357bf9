#include "platform/graphics/PixelConversion.h"

#include <gtest/gtest.h>

#include <vector>

using namespace graphics;
using Bytes = std::vector<uint8_t>;

TEST(PixelConversion, Table) {
    using enum Channel;
    const PixelFormat xrgb{8, {X, R, G, B}, false};   // the working image
    const PixelFormat argbPre{8, {A, R, G, B}, true}; // premultiplied first
    const PixelFormat bgra{8, {B, G, R, A}, false};   // a toolkit's 32-bit ARGB on little-endian
    const PixelFormat bgrx{8, {B, G, R, X}, false};   // its opaque variant
    const PixelFormat rgba{8, {R, G, B, A}, false};
    struct Case {
        const char* name;
        PixelFormat from;
        Bytes in;
        PixelFormat to;
        Bytes out;
    };
    const Case cases[] = {
        {"working image to opaque toolkit",
         xrgb,
         {0, 10, 20, 30, 7, 40, 50, 60},
         bgrx,
         {30, 20, 10, 255, 60, 50, 40, 255}},
        {"opaque toolkit to working image",
         bgrx,
         {30, 20, 10, 0, 60, 50, 40, 0},
         xrgb,
         {255, 10, 20, 30, 255, 40, 50, 60}},
        {"straight to straight keeps hidden colour",
         bgra,
         {30, 20, 10, 0, 1, 2, 3, 4},
         rgba,
         {10, 20, 30, 0, 3, 2, 1, 4}},
        // (200 x 128 + 127) / 255 = 100, (100 x 128 + 127) / 255 = 50, (50 x 128 + 127) / 255 = 25
        {"premultiply", rgba, {200, 100, 50, 128, 9, 9, 9, 0}, argbPre, {128, 100, 50, 25, 0, 0, 0, 0}},
        // (100 x 255 + 64) / 128 = 199; a zero alpha gives black; a bad colour above alpha is capped
        {"unpremultiply", argbPre, {128, 100, 50, 25, 0, 9, 9, 9}, rgba, {199, 100, 50, 128, 0, 0, 0, 0}},
        {"capped", argbPre, {10, 200, 0, 0, 255, 1, 2, 3}, rgba, {255, 0, 0, 10, 1, 2, 3, 255}},
        {"alpha dropped onto black",
         rgba,
         {200, 100, 50, 128, 1, 2, 3, 255},
         xrgb,
         {255, 100, 50, 25, 255, 1, 2, 3}},
        {"no alpha becomes opaque", xrgb, {0, 1, 2, 3, 0, 4, 5, 6}, argbPre, {255, 1, 2, 3, 255, 4, 5, 6}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes out(c.out.size(), 0xEE);
        ASSERT_TRUE(convertPixels(c.in.data(), c.in.size(), c.from, out.data(), out.size(), c.to, 2, 1));
        EXPECT_EQ(out, c.out);
    }
}

TEST(PixelConversion, RowsInPlaceAndRefusals) {
    using enum Channel;
    const PixelFormat xrgb{8, {X, R, G, B}, false};
    const PixelFormat bgrx{8, {B, G, R, X}, false};
    // Two rows of one pixel with 8-byte rows: the padding stays as it was.
    Bytes buffer = {0, 1, 2, 3, 99, 99, 99, 99, 0, 4, 5, 6, 99, 99, 99, 99};
    ASSERT_TRUE(convertPixels(buffer.data(), 8, xrgb, buffer.data(), 8, bgrx, 1, 2));
    EXPECT_EQ(buffer, (Bytes{3, 2, 1, 255, 99, 99, 99, 99, 6, 5, 4, 255, 99, 99, 99, 99}));

    Bytes out(16, 0);
    const Bytes before = out;
    EXPECT_FALSE(
        convertPixels(buffer.data(), 8, PixelFormat{16, {R, G, B, A}, false}, out.data(), 8, bgrx, 1, 2));
    EXPECT_FALSE(convertPixels(buffer.data(), 3, xrgb, out.data(), 8, bgrx, 1, 2));
    EXPECT_FALSE(convertPixels(buffer.data(), 8, xrgb, out.data(), 8, bgrx, 0, 2));
    EXPECT_FALSE(convertPixels(nullptr, 8, xrgb, out.data(), 8, bgrx, 1, 2));
    EXPECT_EQ(out, before);
}
