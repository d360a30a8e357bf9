// ScaledImage against drawImage: its rows, drawn in order or out of it, its columns and its pixels
// alone give the bytes a whole draw gives, enlarging, reducing, at scale, clipped, over a
// background that shows through translucent pixels, and from 8-bit, premultiplied and 16-bit
// sources.
#include "platform/graphics/ScaledImage.h"

#include "platform/graphics/BitmapContext.h"
#include "platform/graphics/Drawing.h"
#include "support/Checksum.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

using namespace graphics;
using Bytes = std::vector<uint8_t>;

namespace {

// Varied colours with alpha from 90 to 255 in bands (every pixel opaque when opaque is set).
ImagePtr pattern(int w, int h, const PixelFormat& format, bool opaque) {
    const int bytes = format.bitsPerComponent / 8;
    std::vector<uint8_t> data(size_t(w) * size_t(h) * 4 * size_t(bytes));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int alpha = opaque ? 255 : 90 + ((x / 3 + y) % 4) * 55;
            const int c[3] = {(x * 37 + y * 11) % 256, (x * x + 3 * y) % 256, (200 + 7 * y - x * 5) % 256};
            uint8_t* p = data.data() + (size_t(y) * size_t(w) + size_t(x)) * 4 * size_t(bytes);
            for (Channel ch : {Channel::R, Channel::G, Channel::B, Channel::A}) {
                int v = ch == Channel::A ? alpha : c[int(ch == Channel::G) + 2 * int(ch == Channel::B)];
                if (format.premultiplied && ch != Channel::A) v = v * alpha / 255;
                const int i = format.indexOf(ch);
                if (bytes == 1) {
                    p[i] = uint8_t(v);
                } else {
                    const uint16_t wide = uint16_t(v * 257 + (x & 1) * 100);
                    std::memcpy(p + i * 2, &wide, 2);
                }
            }
        }
    return Image::copy(data.data(), w, h, size_t(w) * 4 * size_t(bytes), format);
}

// FNV-1a.
Bytes background(int w, int h) {
    Bytes b(size_t(w) * size_t(h) * 4);
    for (size_t i = 0; i < b.size(); ++i)
        b[i] = uint8_t(i * 13 % 251);
    return b;
}

} // namespace

TEST(ScaledImage, RowsAndColumnsGiveTheWholeDrawsBytes) {
    using enum Channel;
    const PixelFormat rgba{}, premultiplied{8, {A, R, G, B}, true}, wide{16, {R, G, B, A}, false};
    struct Case {
        const char* name;
        ImagePtr image;
        Rect rect;
        int w, h; // the buffer
        uint32_t info;
        uint64_t sum; // of the whole draw's bytes
    };
    const Case cases[] = {
        {"enlarged", pattern(23, 13, rgba, true), Rect(0, 0, 53, 31), 53, 31, kBitmapInfoBigEndianSkipLast,
         0x428e0c28f518e7fdull},
        {"reduced", pattern(131, 71, rgba, true), Rect(0, 0, 53, 31), 53, 31, kBitmapInfoBigEndianSkipLast,
         0x277373a2f9a137ull},
        {"wider, shorter", pattern(20, 40, rgba, false), Rect(0, 0, 47, 17), 47, 17, kBitmapInfoNoneSkipFirst,
         0x4442e9ae93adcf79ull},
        {"at scale", pattern(30, 20, rgba, false), Rect(0, 0, 30, 20), 30, 20, kBitmapInfoPremultipliedFirst,
         0xe284cf56d249c221ull},
        {"at scale, opaque", pattern(30, 20, rgba, true), Rect(0, 0, 30, 20), 30, 20,
         kBitmapInfoBigEndianSkipLast, 0xa4016c6fcd6e55f1ull},
        {"offset and clipped", pattern(25, 15, rgba, false), Rect(-4.3, 6.6, 40, 21), 32, 24,
         kBitmapInfoLittleEndianSkipFirst, 0x8ae07a9f058f45d0ull},
        {"premultiplied source", pattern(17, 9, premultiplied, false), Rect(2, 1, 29, 19), 33, 22,
         kBitmapInfoNoneSkipFirst, 0x86d21aecdc08cdddull},
        {"16-bit source", pattern(17, 9, wide, false), Rect(0, 0, 11, 27), 11, 27,
         kBitmapInfoBigEndianSkipLast, 0x2b09a0dbc7a269daull},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const size_t rowBytes = size_t(c.w) * 4;
        Bytes whole = background(c.w, c.h);
        auto ctx = BitmapContext::create(whole.data(), c.w, c.h, 8, rowBytes, c.info);
        ASSERT_NE(ctx, nullptr);
        drawImage(*ctx, c.rect, c.image);
        ASSERT_NE(whole, background(c.w, c.h)) << "the case draws nothing";
        EXPECT_EQ(checksum(whole), c.sum) << "the whole draw's bytes changed";

        const ScaledImage scaled(c.image, c.rect, c.w, c.h, ctx->format());
        ASSERT_FALSE(scaled.empty());
        const auto at = [&](Bytes& b, int x, int y) {
            return b.data() + size_t(y) * rowBytes + size_t(x) * 4;
        };
        // Rows in order, then from the bottom up (each row from source rows other than the last).
        for (bool backwards : {false, true}) {
            Bytes rows = background(c.w, c.h);
            ScaledImage::Scratch scratch = scaled.scratch();
            for (int i = scaled.firstRow() - 1; i <= scaled.endRow(); ++i) {
                const int y = backwards ? scaled.endRow() - 1 - (i - scaled.firstRow()) : i;
                if (y >= 0 && y < c.h) scaled.drawRow(y, scratch, at(rows, scaled.firstColumn(), y));
            }
            EXPECT_EQ(rows, whole) << (backwards ? "rows bottom up" : "rows in order");
        }
        Bytes columns = background(c.w, c.h);
        ScaledImage::Scratch scratch = scaled.scratch();
        for (int x = 0; x < c.w; ++x)
            scaled.drawColumn(x, scratch, at(columns, x, scaled.firstRow()), rowBytes);
        EXPECT_EQ(columns, whole) << "columns";
        // Pixels alone, column by column from the last.
        Bytes pixels = background(c.w, c.h);
        for (int x = c.w - 1; x >= 0; --x)
            for (int y = c.h - 1; y >= 0; --y)
                scaled.drawPixel(x, y, scratch, at(pixels, x, y));
        EXPECT_EQ(pixels, whole) << "pixels";
    }
}

TEST(ScaledImage, NothingToDrawIsEmpty) {
    const ImagePtr image = pattern(4, 4, PixelFormat{}, true);
    const PixelFormat format{};
    EXPECT_TRUE(ScaledImage(nullptr, Rect(0, 0, 4, 4), 4, 4, format).empty());
    EXPECT_TRUE(ScaledImage(image, Rect(0, 0, 0, 4), 4, 4, format).empty());
    EXPECT_TRUE(ScaledImage(image, Rect(5, 5, 4, 4), 4, 4, format).empty());
    const ScaledImage outside(image, Rect(0, 0, 2, 2), 4, 4, format);
    ASSERT_FALSE(outside.empty());
    // Rows and columns beyond what it covers leave the buffer alone.
    Bytes buffer(64, 7);
    ScaledImage::Scratch scratch = outside.scratch();
    outside.drawRow(0, scratch, buffer.data()); // y-up: the rectangle covers memory rows 2 and 3
    outside.drawColumn(3, scratch, buffer.data(), 16);
    EXPECT_EQ(buffer, Bytes(64, 7));
}
