#include "Pixels.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace coreimage;
using namespace coreimage::test;
using graphics::AffineTransform;
using graphics::Channel;
using graphics::PixelFormat;
using graphics::Rect;

namespace {

using Bytes = std::vector<uint8_t>;

// A chain whose regions of interest grow: a tilt, cells, and a blend through a mask.
ImagePtr chain() {
    const ImagePtr photo = image(150, 130, pattern(150, 130, 1));
    const ImagePtr effect = image(150, 130, pattern(150, 130, 2));
    const ImagePtr tilted = photo->imageByApplyingTransform(
        AffineTransform::makeTranslation(75, 65).rotated(0.5).scaled(1.3, 0.9).translated(-75, -65));
    const ImagePtr cells = output(
        filter("CIPixellate", {{"inputImage", tilted}, {"inputCenter", Vector(3, 7)}, {"inputScale", 5.0}}));
    return output(
        filter("CIBlendWithMask",
               {{"inputImage", effect}, {"inputBackgroundImage", cells}, {"inputMaskImage", photo}}));
}

} // namespace

TEST(CoreImageContext, PartOfAnImageRendersAsTheSamePixelsOfTheWhole) {
    const ImagePtr img = chain();
    const Rect whole(0, 0, 150, 130), part(37, 21, 70, 80);
    const Bytes all = pixels(img, whole), some = pixels(img, part);
    ASSERT_FALSE(all.empty());
    ASSERT_FALSE(some.empty());
    for (int row = 0; row < 80; ++row) {
        const int y = 21 + 79 - row; // rows run from the top
        const auto* expected = all.data() + (size_t(129 - y) * 150 + 37) * 4;
        ASSERT_TRUE(std::equal(expected, expected + 70 * 4, some.data() + size_t(row) * 70 * 4))
            << "row " << row;
    }
}

TEST(CoreImageContext, WritesEveryLayoutAndSize) {
    using enum Channel;
    const ImagePtr img = image(1, 1, {200, 100, 50, 128});
    const double a = 128.0 / 255;
    struct Case {
        PixelFormat format;
        std::vector<double> expected; // component values in memory order, 0..1
    };
    const Case cases[] = {
        {{8, {B, G, R, A}, true}, {50 / 255.0 * a, 100 / 255.0 * a, 200 / 255.0 * a, a}},
        {{8, {A, R, G, B}, false}, {a, 200 / 255.0, 100 / 255.0, 50 / 255.0}},
        {{8, {R, G, B, X}, false}, {200 / 255.0 * a, 100 / 255.0 * a, 50 / 255.0 * a, 1}},
        {{16, {R, G, B, A}, true}, {200 / 255.0 * a, 100 / 255.0 * a, 50 / 255.0 * a, a}},
        {{32, {R, G, B, A}, false}, {200 / 255.0, 100 / 255.0, 50 / 255.0, a}},
    };
    for (const Case& c : cases) {
        const graphics::ImagePtr out = Context().createCGImage(img, img->extent(), c.format);
        ASSERT_NE(out, nullptr);
        EXPECT_EQ(out->format(), c.format);
        for (int k = 0; k < 4; ++k) {
            double v = 0;
            if (c.format.bitsPerComponent == 8) v = out->data()[k] / 255.0;
            if (c.format.bitsPerComponent == 16)
                v = reinterpret_cast<const uint16_t*>(out->data())[k] / 65535.0;
            if (c.format.bitsPerComponent == 32) v = reinterpret_cast<const float*>(out->data())[k];
            const double step = c.format.bitsPerComponent == 8    ? 0.5 / 255
                                : c.format.bitsPerComponent == 16 ? 0.5 / 65535
                                                                  : 1e-6;
            EXPECT_NEAR(v, c.expected[size_t(k)], step)
                << c.format.bitsPerComponent << " bits, component " << k;
        }
    }
}

TEST(CoreImageContext, RenderOfTheWholeExtent) {
    const ImagePtr img = image(4, 3, pattern(4, 3))->imageByCroppingToRect(Rect(0, 0, 3.7, 2.2));
    for (int bits : {8, 16, 32}) {
        const graphics::ImagePtr out = render(img, bits);
        ASSERT_NE(out, nullptr) << bits;
        EXPECT_EQ(out->width(), 3) << "width truncated";
        EXPECT_EQ(out->height(), 2);
        EXPECT_EQ(out->format().bitsPerComponent, bits);
    }
    testing::internal::CaptureStdout();
    EXPECT_EQ(render(img, 24), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Wrong bits per component: 24\n");
    EXPECT_EQ(render(nullptr, 8), nullptr);
}

TEST(CoreImageContext, RenderOfAnExtentWithNoWholePixelsOrNoEndIsNull) {
    const ImagePtr frac = image(12, 6, pattern(12, 6))->imageByCroppingToRect(Rect(0, 0, 10.7, 5.2));
    const graphics::ImagePtr out = render(frac, 8);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(out->width(), 10);
    EXPECT_EQ(out->height(), 5);

    testing::internal::CaptureStdout();
    EXPECT_EQ(render(frac, 12), nullptr);
    EXPECT_EQ(render(Image::imageWithColor(graphics::Color{0.5, 0.5, 0.5, 1}), 8), nullptr) << "infinite";
    EXPECT_EQ(render(frac->imageByCroppingToRect(Rect(0, 0, 0.6, 3)), 8), nullptr) << "under one pixel wide";
    EXPECT_EQ(render(frac->imageByCroppingToRect(Rect(40, 40, 2, 2)), 8), nullptr) << "empty";
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Wrong bits per component: 12\n");
}

TEST(CoreImageContext, OriginOffThePixelGridIsReachedByResampling) {
    // A grey ramp rendered half a pixel to the right gives the mean of neighbours.
    const ImagePtr img = image(3, 1, {0, 0, 0, 255, 100, 100, 100, 255, 200, 200, 200, 255})
                             ->imageByApplyingTransform(AffineTransform::makeScale(1, 5));
    const Bytes got = pixels(img, Rect(0.5, 2, 2, 1));
    EXPECT_EQ(got, (Bytes{50, 50, 50, 255, 150, 150, 150, 255}));
}

TEST(CoreImageContext, RefusesWhatCannotBeRendered) {
    const ImagePtr img = image(2, 2, pattern(2, 2));
    Bytes buffer(64);
    const Context context;
    EXPECT_FALSE(context.render(nullptr, buffer.data(), 8, Rect(0, 0, 2, 2), kRGBA8));
    EXPECT_FALSE(context.render(img, nullptr, 8, Rect(0, 0, 2, 2), kRGBA8));
    EXPECT_FALSE(context.render(img, buffer.data(), 7, Rect(0, 0, 2, 2), kRGBA8)) << "short rows";
    EXPECT_FALSE(context.render(img, buffer.data(), 8, Rect::infinite(), kRGBA8));
    EXPECT_FALSE(context.render(img, buffer.data(), 8, Rect(0, 0, 0.5, 2), kRGBA8));
    EXPECT_FALSE(context.render(img, buffer.data(), 8, Rect(0, 0, 2, 2), PixelFormat{12}));
    EXPECT_TRUE(context.render(img, buffer.data(), 8, Rect(0, 0, 2, 2), kRGBA8));
}

TEST(CoreImageContext, ColourConversionOffSetsTheWorkingColourSpaceToNullAndKeepsTheRest) {
    const foundation::Dictionary options{{"kCIContextUseSoftwareRenderer", true},
                                         {kCIContextWorkingColorSpace, "sRGB"}};
    const foundation::Dictionary off = Context::turnOffColorSpaceConversionFromOptions(options);
    EXPECT_EQ(off, (foundation::Dictionary{{"kCIContextUseSoftwareRenderer", true},
                                           {"kCIContextWorkingColorSpace", foundation::Value()}}));
    EXPECT_EQ(Context::turnOffColorSpaceConversionFromOptions({}),
              (foundation::Dictionary{{"kCIContextWorkingColorSpace", foundation::Value()}}));
}
