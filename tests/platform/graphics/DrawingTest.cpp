#include "platform/graphics/Drawing.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

using namespace graphics;
using Bytes = std::vector<uint8_t>;
using Pixel = std::array<uint8_t, 4>;

namespace {

const PixelFormat kRGBA8{};

ImagePtr rgba8(int width, int height, const Bytes& pixels) {
    return Image::copy(pixels.data(), width, height, size_t(width) * 4, kRGBA8);
}

// A grey image with one value a pixel, top row first.
ImagePtr grey(int width, int height, const Bytes& values) {
    Bytes pixels;
    for (uint8_t v : values)
        pixels.insert(pixels.end(), {v, v, v, 255});
    return rgba8(width, height, pixels);
}

struct Canvas {
    int width, height;
    uint32_t info;
    Bytes buffer;
    std::unique_ptr<BitmapContext> ctx;

    Canvas(int w, int h, uint32_t bitmapInfo = kBitmapInfoNoneSkipFirst, uint8_t fill = 0)
        : width(w), height(h), info(bitmapInfo), buffer(size_t(w) * size_t(h) * 4, fill),
          ctx(BitmapContext::create(buffer.data(), w, h, 8, size_t(w) * 4, bitmapInfo)) {}

    Pixel at(int x, int row) const {
        const uint8_t* p = buffer.data() + (size_t(row) * size_t(width) + size_t(x)) * 4;
        return {p[0], p[1], p[2], p[3]};
    }
    // Byte 1 (red in the working layout) of every pixel, memory order.
    Bytes reds() const {
        Bytes out;
        for (size_t i = 1; i < buffer.size(); i += 4)
            out.push_back(buffer[i]);
        return out;
    }
};

} // namespace

TEST(BitmapContext, CreationFails) {
    Bytes buffer(64);
    struct Case {
        const char* name;
        uint8_t* data;
        int width, height, bits;
        size_t rowBytes;
        uint32_t info;
    };
    const Case cases[] = {
        {"no buffer", nullptr, 2, 2, 8, 8, kBitmapInfoNoneSkipFirst},
        {"zero width", buffer.data(), 0, 2, 8, 8, kBitmapInfoNoneSkipFirst},
        {"zero height", buffer.data(), 2, 0, 8, 8, kBitmapInfoNoneSkipFirst},
        {"16 bits", buffer.data(), 2, 2, 16, 16, kBitmapInfoNoneSkipFirst},
        {"short rows", buffer.data(), 2, 2, 8, 7, kBitmapInfoNoneSkipFirst},
        {"info 0", buffer.data(), 2, 2, 8, 8, 0},
        {"info 1 (alpha last, not premultiplied)", buffer.data(), 2, 2, 8, 8, 1},
        {"info 8194", buffer.data(), 2, 2, 8, 8, 8194},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(BitmapContext::create(c.data, c.width, c.height, c.bits, c.rowBytes, c.info));
    }
    const auto ctx = BitmapContext::create(buffer.data(), 2, 2, 8, 12, kBitmapInfoPremultipliedFirst);
    ASSERT_TRUE(ctx);
    EXPECT_EQ(ctx->data(), buffer.data());
    EXPECT_EQ(ctx->rowBytes(), 12u);
    EXPECT_EQ(ctx->bitmapInfo(), 2u);
}

TEST(Drawing, EachLayoutPutsAnOpaqueColourInItsBytes) {
    using enum Channel;
    // The same opaque colour (10, 20, 30) from sources of each depth and order.
    const uint16_t wide[] = {30 * 257, 20 * 257, 10 * 257, 0};
    const float floats[] = {10 / 255.0f, 20 / 255.0f, 30 / 255.0f, 1.0f};
    const uint8_t argbPremultiplied[] = {255, 10, 20, 30};
    const ImagePtr sources[] = {
        rgba8(1, 1, {10, 20, 30, 255}),
        Image::copy(wide, 1, 1, sizeof wide, PixelFormat{16, {B, G, R, X}, false}),
        Image::copy(floats, 1, 1, sizeof floats, PixelFormat{32, {R, G, B, A}, false}),
        Image::copy(argbPremultiplied, 1, 1, 4, PixelFormat{8, {A, R, G, B}, true}),
    };
    struct Case {
        uint32_t info;
        Pixel expected;
    };
    const Case cases[] = {
        {kBitmapInfoNoneSkipFirst, {255, 10, 20, 30}},
        {kBitmapInfoPremultipliedFirst, {255, 10, 20, 30}},
        {kBitmapInfoLittleEndianSkipFirst, {30, 20, 10, 255}},
        {kBitmapInfoBigEndianSkipLast, {10, 20, 30, 255}},
    };
    for (const Case& c : cases) {
        for (size_t s = 0; s < std::size(sources); ++s) {
            SCOPED_TRACE(testing::Message() << "info " << c.info << ", source " << s);
            ASSERT_TRUE(sources[s]);
            Canvas canvas(2, 2, c.info);
            drawImage(*canvas.ctx, Rect(0, 0, 2, 2), sources[s]);
            for (int y = 0; y < 2; ++y)
                for (int x = 0; x < 2; ++x)
                    EXPECT_EQ(canvas.at(x, y), c.expected);
        }
    }
}

TEST(Drawing, HalfTransparentPixelsCompositeSourceOver) {
    const ImagePtr red = rgba8(1, 1, {255, 0, 0, 128});
    struct Case {
        const char* name;
        uint32_t info;
        Pixel before, after;
    };
    const Case cases[] = {
        // Onto black, premultiplied by 128/255.
        {"skip first onto zeros", kBitmapInfoNoneSkipFirst, {0, 0, 0, 0}, {255, 128, 0, 0}},
        {"premultiplied onto zeros", kBitmapInfoPremultipliedFirst, {0, 0, 0, 0}, {128, 128, 0, 0}},
        {"skip last onto ones", kBitmapInfoBigEndianSkipLast, {1, 1, 1, 1}, {128, 0, 0, 255}},
        // 200 x (1 - 128/255) = 99.6 kept from below.
        {"skip first onto blue", kBitmapInfoNoneSkipFirst, {0, 0, 0, 200}, {255, 128, 0, 100}},
        // Opaque blue below stays opaque.
        {"premultiplied onto opaque blue",
         kBitmapInfoPremultipliedFirst,
         {255, 0, 0, 200},
         {255, 128, 0, 100}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas canvas(1, 1, c.info);
        std::memcpy(canvas.buffer.data(), c.before.data(), 4);
        drawImage(*canvas.ctx, Rect(0, 0, 1, 1), red);
        EXPECT_EQ(canvas.at(0, 0), c.after);
    }

    // The same colour from a premultiplied source, and from a wide one (the float path).
    using enum Channel;
    const uint8_t premultiplied[] = {128, 128, 0, 0};
    const uint16_t wide[] = {65535, 0, 0, 128 * 257};
    for (const ImagePtr& source : {Image::copy(premultiplied, 1, 1, 4, PixelFormat{8, {A, R, G, B}, true}),
                                   Image::copy(wide, 1, 1, 8, PixelFormat{16, {R, G, B, A}, false})}) {
        Canvas canvas(1, 1, kBitmapInfoNoneSkipFirst);
        drawImage(*canvas.ctx, Rect(0, 0, 1, 1), source);
        EXPECT_EQ(canvas.at(0, 0), (Pixel{255, 128, 0, 0}));
    }
}

TEST(Drawing, TopRowLandsInMemoryRowZero) {
    const ImagePtr image = grey(1, 2, {10, 20}); // top 10, bottom 20
    Canvas whole(1, 2);
    drawImage(*whole.ctx, Rect(0, 0, 1, 2), image);
    EXPECT_EQ(whole.reds(), (Bytes{10, 20}));

    // The lower half in y-up coordinates is the last memory rows; the rest is untouched.
    Canvas lower(1, 4);
    drawImage(*lower.ctx, Rect(0, 0, 1, 2), image);
    EXPECT_EQ(lower.buffer, (Bytes{0, 0, 0, 0, 0, 0, 0, 0, 255, 10, 10, 10, 255, 20, 20, 20}));

    // A negative height is the same rectangle, not a flip.
    Canvas negative(1, 2);
    drawImage(*negative.ctx, Rect(0, 2, 1, -2), image);
    EXPECT_EQ(negative.reds(), (Bytes{10, 20}));
}

TEST(Drawing, Scaling) {
    struct Case {
        const char* name;
        ImagePtr image;
        int width, height;
        Bytes expected;
    };
    const Case cases[] = {
        {"checker 4x4 to 2x2 averages",
         grey(4, 4, {0, 255, 0, 255, 255, 0, 255, 0, 0, 255, 0, 255, 255, 0, 255, 0}),
         2,
         2,
         {128, 128, 128, 128}},
        {"blocks 4x4 to 2x2",
         grey(4, 4, {10, 10, 50, 50, 10, 10, 50, 50, 90, 90, 0, 0, 90, 90, 0, 0}),
         2,
         2,
         {10, 50, 90, 0}},
        {"row halved", grey(4, 1, {0, 100, 200, 250}), 2, 1, {50, 225}},
        {"row by two thirds", grey(3, 1, {0, 90, 180}), 2, 1, {30, 150}},
        // Source centres at -0.25, 0.25, 0.75, 1.25: edges extend, the middle interpolates.
        {"row doubled", grey(2, 1, {0, 255}), 4, 1, {0, 64, 191, 255}},
        {"column doubled", grey(1, 2, {0, 255}), 1, 4, {0, 64, 191, 255}},
        {"one pixel stretched", grey(1, 1, {77}), 3, 2, {77, 77, 77, 77, 77, 77}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas canvas(c.width, c.height);
        drawImage(*canvas.ctx, Rect(0, 0, c.width, c.height), c.image);
        EXPECT_EQ(canvas.reds(), c.expected);
    }
}

TEST(Drawing, ClipsToTheContextAndIgnoresNothingToDraw) {
    const ImagePtr image = grey(4, 4, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
    Canvas canvas(2, 2);
    // Same scale, one pixel off to the left and one up (y-up: the top overhangs).
    drawImage(*canvas.ctx, Rect(-1, -1, 4, 4), image);
    EXPECT_EQ(canvas.reds(), (Bytes{6, 7, 10, 11}));

    Canvas untouched(2, 2);
    drawImage(*untouched.ctx, Rect(5, 5, 4, 4), image);
    drawImage(*untouched.ctx, Rect::null(), image);
    drawImage(*untouched.ctx, Rect(0, 0, 0, 2), image);
    drawImage(*untouched.ctx, Rect(0, 0, 2, 2), nullptr);
    drawImage(*untouched.ctx, Rect(0.4, 0, 1e-310, 1), image);
    EXPECT_EQ(untouched.buffer, Bytes(16, 0));

    // A sliver over one pixel centre squeezes the whole width into it.
    Canvas sliver(2, 1);
    drawImage(*sliver.ctx, Rect(0.4, 0, 0.2, 1), grey(4, 1, {0, 100, 200, 100}));
    EXPECT_EQ(sliver.reds(), (Bytes{100, 0}));
}

TEST(Drawing, LargeDrawsMatchRowByRow) {
    // Big enough to be split over threads: every band must land on its own rows.
    const int w = 600, h = 400;
    Bytes pixels;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint8_t v = uint8_t((x / 2) * 7 + (y / 2) * 3);
            pixels.insert(pixels.end(), {v, uint8_t(x), uint8_t(y), 255});
        }
    const ImagePtr image = rgba8(w, h, pixels);

    Canvas same(w, h);
    drawImage(*same.ctx, Rect(0, 0, w, h), image);
    Canvas half(w / 2, h / 2);
    drawImage(*half.ctx, Rect(0, 0, w / 2, h / 2), image);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint8_t* src = pixels.data() + (size_t(y) * w + size_t(x)) * 4;
            ASSERT_EQ(same.at(x, y), (Pixel{255, src[0], src[1], src[2]})) << x << "," << y;
            if (x % 2 == 0 && y % 2 == 0) {
                ASSERT_EQ(half.at(x / 2, y / 2)[1], src[0]) << x << "," << y;
            }
        }
}

TEST(Drawing, FillRect) {
    Canvas canvas(3, 2, kBitmapInfoNoneSkipFirst);
    fillRect(*canvas.ctx, Rect(1, 0, 2, 1), Color{1, 0, 0, 1}); // lower row, right two pixels
    fillRect(*canvas.ctx, Rect(0, 0, 3, 2), Color{0, 0, 1, 0.5});
    EXPECT_EQ(canvas.at(0, 0), (Pixel{255, 0, 0, 128}));
    EXPECT_EQ(canvas.at(0, 1), (Pixel{255, 0, 0, 128}));
    EXPECT_EQ(canvas.at(1, 1), (Pixel{255, 128, 0, 128}));
    EXPECT_EQ(canvas.at(2, 1), (Pixel{255, 128, 0, 128}));

    Canvas everything(2, 2, kBitmapInfoPremultipliedFirst);
    fillRect(*everything.ctx, Rect::infinite(), Color{0, 1, 0, 1});
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(everything.at(i % 2, i / 2), (Pixel{255, 0, 255, 0}));
}

TEST(Drawing, CreateImageCopiesThePixelsOfThatMoment) {
    Canvas canvas(2, 1, kBitmapInfoLittleEndianSkipFirst);
    fillRect(*canvas.ctx, Rect(0, 0, 2, 1), Color{1, 0, 0, 1});
    const ImagePtr image = createImage(*canvas.ctx);
    ASSERT_TRUE(image);
    std::fill(canvas.buffer.begin(), canvas.buffer.end(), 9);
    EXPECT_EQ(image->width(), 2);
    EXPECT_EQ(image->height(), 1);
    EXPECT_EQ(image->format(), *pixelFormatForBitmapInfo(kBitmapInfoLittleEndianSkipFirst));
    EXPECT_EQ(Bytes(image->data(), image->data() + 8), (Bytes{0, 0, 255, 255, 0, 0, 255, 255}));

    // Drawn back through another layout it keeps its colour.
    Canvas back(2, 1);
    drawImage(*back.ctx, Rect(0, 0, 2, 1), image);
    EXPECT_EQ(back.buffer, (Bytes{255, 255, 0, 0, 255, 255, 0, 0}));
}
