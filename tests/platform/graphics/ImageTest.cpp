#include "platform/graphics/Image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace graphics;

namespace {
const PixelFormat kRGBA8{};
}

TEST(Image, CopyPacksRowsAndIsIndependentOfTheSource) {
    // 2 x 2 pixels in rows of 12 bytes (4 bytes of padding each).
    std::vector<uint8_t> pixels = {1, 2,  3,  4,  5,  6,  7,  8,  99, 99, 99, 99,
                                   9, 10, 11, 12, 13, 14, 15, 16, 99, 99, 99, 99};
    const ImagePtr image = Image::copy(pixels.data(), 2, 2, 12, kRGBA8);
    ASSERT_TRUE(image);
    std::fill(pixels.begin(), pixels.end(), 0);
    EXPECT_EQ(image->width(), 2);
    EXPECT_EQ(image->height(), 2);
    EXPECT_EQ(image->rowBytes(), 8u);
    EXPECT_EQ(image->pointSize(), (Size{2, 2}));
    EXPECT_EQ(image->pixelSize(), (Size{2, 2}));
    const uint8_t expected[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    EXPECT_EQ(std::memcmp(image->data(), expected, sizeof expected), 0);
    EXPECT_EQ(image->row(1)[0], 9);
}

TEST(Image, AdoptReleasesOnceWhenTheLastUserLetsGo) {
    int releases = 0;
    void* released = nullptr;
    std::vector<uint8_t> buffer(16, 7);
    ImagePtr image = Image::adopt(buffer.data(), 2, 2, 8, kRGBA8, [&](void* p) {
        ++releases;
        released = p;
    });
    ASSERT_TRUE(image);
    EXPECT_EQ(image->data(), buffer.data()); // not copied
    ImagePtr retina = image->withPointSize(Size{1, 1});
    EXPECT_NE(retina, image); // a new image, compared by identity
    EXPECT_EQ(retina->data(), image->data());
    EXPECT_EQ(retina->pointSize(), (Size{1, 1}));
    EXPECT_EQ(retina->pixelSize(), (Size{2, 2}));
    image.reset();
    EXPECT_EQ(releases, 0);
    retina.reset();
    EXPECT_EQ(releases, 1);
    EXPECT_EQ(released, buffer.data());
}

TEST(Image, RejectsBadInput) {
    using enum Channel;
    std::vector<uint8_t> buffer(64);
    struct Case {
        const char* name;
        const void* pixels;
        int width, height;
        size_t rowBytes;
        PixelFormat format;
    };
    const Case cases[] = {
        {"no pixels", nullptr, 2, 2, 8, kRGBA8},
        {"zero width", buffer.data(), 0, 2, 8, kRGBA8},
        {"zero height", buffer.data(), 2, 0, 8, kRGBA8},
        {"negative side", buffer.data(), -2, 2, 8, kRGBA8},
        {"short rows", buffer.data(), 2, 2, 7, kRGBA8},
        {"short 16-bit rows", buffer.data(), 2, 2, 8, PixelFormat{16, {R, G, B, A}, false}},
        {"12 bits", buffer.data(), 2, 2, 8, PixelFormat{12, {R, G, B, A}, false}},
        {"two reds", buffer.data(), 2, 2, 8, PixelFormat{8, {R, R, B, A}, false}},
        {"two alphas", buffer.data(), 2, 2, 8, PixelFormat{8, {A, G, B, X}, false}},
        {"premultiplied without alpha", buffer.data(), 2, 2, 8, PixelFormat{8, {X, R, G, B}, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(Image::copy(c.pixels, c.width, c.height, c.rowBytes, c.format));
        bool released = false;
        EXPECT_FALSE(Image::adopt(const_cast<void*>(c.pixels), c.width, c.height, c.rowBytes, c.format,
                                  [&](void*) { released = true; }));
        EXPECT_FALSE(released);
    }
    EXPECT_TRUE(Image::copy(buffer.data(), 2, 2, 16, PixelFormat{16, {B, G, R, X}, false}));
    EXPECT_TRUE(Image::copy(buffer.data(), 1, 2, 16, PixelFormat{32, {R, G, B, A}, true}));
}
