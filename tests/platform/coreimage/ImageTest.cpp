#include "Pixels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace coreimage;
using namespace coreimage::test;
using graphics::AffineTransform;
using graphics::Rect;

namespace {

using Bytes = std::vector<uint8_t>;

ImagePtr transformed(const ImagePtr& in, const AffineTransform& t) {
    return output(filter("CIAffineTransform", {{"inputImage", in}, {"inputTransform", t}}));
}

// The turn about the picture's centre that lands a quarter-turned picture on (0, 0).
AffineTransform turn(double degrees, double w, double h) {
    const bool quarter = std::fabs(std::fmod(degrees, 180)) == 90;
    return AffineTransform::makeTranslation(quarter ? h / 2 : w / 2, quarter ? w / 2 : h / 2)
        .rotated(degrees * std::numbers::pi / 180)
        .translated(-w / 2, -h / 2);
}

// Pixel (x, y) of a top-row-first RGBA byte picture, addressed y up.
Bytes at(const Bytes& bytes, int width, int height, int x, int y) {
    const size_t i = (size_t(height - 1 - y) * size_t(width) + size_t(x)) * 4;
    return {bytes.begin() + long(i), bytes.begin() + long(i) + 4};
}

} // namespace

TEST(CoreImageImage, BitmapHasItsOriginBottomLeftAndItsTopRowOnTop) {
    const Bytes bytes = {10, 0, 0, 255, 20, 0, 0, 255,  // top row
                         30, 0, 0, 255, 40, 0, 0, 255}; // bottom row
    const ImagePtr img = image(2, 2, bytes);
    EXPECT_EQ(img->extent(), Rect(0, 0, 2, 2));
    EXPECT_EQ(pixelAt(img, 0, 0), (Bytes{30, 0, 0, 255}));
    EXPECT_EQ(pixelAt(img, 1, 1), (Bytes{20, 0, 0, 255}));
    EXPECT_EQ(pixels(img, img->extent()), bytes);
    EXPECT_EQ(pixelAt(img, 2, 0), (Bytes{0, 0, 0, 0})) << "transparent outside the extent";
    EXPECT_EQ(Image::imageWithCGImage(nullptr), nullptr);
}

TEST(CoreImageImage, HalfTransparentPixelIsPremultipliedOnceAndBackExactly) {
    const ImagePtr img = image(1, 1, {200, 100, 50, 128});
    EXPECT_EQ(pixels(img, img->extent(), kRGBA8Premultiplied), (Bytes{100, 50, 25, 128}));
    EXPECT_EQ(pixels(img, img->extent(), kRGBA8), (Bytes{200, 100, 50, 128}));

    const graphics::ImagePtr floats = render(img, 32);
    ASSERT_NE(floats, nullptr);
    const auto* f = reinterpret_cast<const float*>(floats->data());
    EXPECT_FLOAT_EQ(f[0], (200.0f / 255) * (128.0f / 255));
    EXPECT_FLOAT_EQ(f[3], 128.0f / 255);
}

TEST(CoreImageImage, CropKeepsPixelsWhoseCentresAreInside) {
    const Bytes bytes = pattern(4, 3);
    const ImagePtr img = image(4, 3, bytes);
    struct Case {
        Rect crop;
        Rect extent;
    };
    const Case cases[] = {
        {Rect(1, 1, 2, 1), Rect(1, 1, 2, 1)},
        {Rect(-2, -2, 4, 4), Rect(0, 0, 2, 2)},
        {Rect(3, 2, -2, -1), Rect(1, 1, 2, 1)}, // negative sizes are standardised
        {Rect(0, 0, 4, 3), Rect(0, 0, 4, 3)},
    };
    for (const Case& c : cases) {
        const ImagePtr cropped = output(filter("CICrop", {{"inputImage", img}, {"inputRectangle", c.crop}}));
        ASSERT_NE(cropped, nullptr);
        EXPECT_EQ(cropped->extent(), c.extent);
    }

    // An integer crop gives the same bytes back.
    const ImagePtr middle =
        output(filter("CICrop", {{"inputImage", img}, {"inputRectangle", Vector(1, 1, 2, 1)}}));
    const Bytes got = pixels(middle, Rect(1, 1, 2, 1));
    Bytes expected = at(bytes, 4, 3, 1, 1);
    const Bytes second = at(bytes, 4, 3, 2, 1);
    expected.insert(expected.end(), second.begin(), second.end());
    EXPECT_EQ(got, expected);
    EXPECT_EQ(pixelAt(middle, 0, 1), (Bytes{0, 0, 0, 0}));

    // Centre 0.5 lies inside [0.5, 2.5), centre 2.5 does not.
    const ImagePtr half = img->imageByCroppingToRect(Rect(0.5, 0, 2, 3));
    EXPECT_EQ(pixelAt(half, 0, 0), at(bytes, 4, 3, 0, 0));
    EXPECT_EQ(pixelAt(half, 2, 0), (Bytes{0, 0, 0, 0}));

    const ImagePtr none = img->imageByCroppingToRect(Rect(10, 10, 2, 2));
    EXPECT_TRUE(none->extent().isEmpty());
    EXPECT_EQ(render(none, 8), nullptr);
}

TEST(CoreImageImage, InfiniteConstantCroppedRendersItsRectangle) {
    const ImagePtr red =
        output(filter("CIConstantColorGenerator", {{"inputColor", graphics::Color{1, 0, 0, 1}}}));
    ASSERT_NE(red, nullptr);
    EXPECT_TRUE(red->extent().isInfinite());
    EXPECT_EQ(render(red, 8), nullptr) << "an infinite extent cannot be rendered whole";

    const ImagePtr cropped = red->imageByCroppingToRect(Rect(-10, 20, 3, 2));
    EXPECT_EQ(cropped->extent(), Rect(-10, 20, 3, 2));
    const graphics::ImagePtr bitmap = render(cropped, 8);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->width(), 3);
    EXPECT_EQ(bitmap->height(), 2);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(Bytes(bitmap->data() + i * 4, bitmap->data() + i * 4 + 4), (Bytes{255, 0, 0, 255}));
}

TEST(CoreImageImage, QuarterTurnsFlipsAndWholeMovesAreLossless) {
    const int w = 5, h = 3;
    const Bytes bytes = pattern(w, h);
    const ImagePtr img = image(w, h, bytes);

    // A quarter turn lands on (0, 0, h, w) and moves every pixel exactly.
    const ImagePtr turned = transformed(img, turn(90, w, h));
    EXPECT_EQ(turned->extent(), Rect(0, 0, h, w));
    const Bytes turnedBytes = pixels(turned, turned->extent());
    for (int y = 0; y < w; ++y)
        for (int x = 0; x < h; ++x)
            EXPECT_EQ(at(turnedBytes, h, w, x, y), at(bytes, w, h, y, h - 1 - x));

    // A horizontal flip mirrors the columns.
    const AffineTransform flip =
        AffineTransform::makeTranslation(w / 2.0, 0).scaled(-1, 1).translated(-w / 2.0, 0);
    const ImagePtr flipped = transformed(img, flip);
    EXPECT_EQ(flipped->extent(), Rect(0, 0, w, h));
    const Bytes flippedBytes = pixels(flipped, flipped->extent());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            EXPECT_EQ(at(flippedBytes, w, h, x, y), at(bytes, w, h, w - 1 - x, y));

    // A whole-pixel move keeps the bytes.
    const ImagePtr moved = transformed(img, AffineTransform::makeTranslation(3, -2));
    EXPECT_EQ(moved->extent(), Rect(3, -2, w, h));
    EXPECT_EQ(pixels(moved, moved->extent()), bytes);
}

TEST(CoreImageImage, FourQuarterTurnsGiveTheOriginalBack) {
    const int w = 6, h = 4;
    const Bytes bytes = pattern(w, h, 3);
    const ImagePtr img = image(w, h, bytes);

    // Chained recipes fold back into the image itself.
    ImagePtr chained = img;
    for (int i = 0; i < 4; ++i) {
        const Rect e = chained->extent();
        chained = transformed(chained, turn(90, e.width(), e.height()));
    }
    EXPECT_EQ(chained.get(), img.get());

    // Rendered to a bitmap after every turn, the bytes still come back.
    ImagePtr step = img;
    for (int i = 0; i < 4; ++i) {
        const Rect e = step->extent();
        step = Image::imageWithCGImage(render(transformed(step, turn(-90, e.width(), e.height())), 8));
        ASSERT_NE(step, nullptr);
    }
    EXPECT_EQ(pixels(step, step->extent()), bytes);
}

TEST(CoreImageImage, TurnsLandWhereTheViewExpects) {
    EXPECT_EQ(transformed(image(400, 300, pattern(400, 300)), turn(90, 400, 300))->extent(),
              Rect(0, 0, 300, 400));
    const Rect tilted = transformed(image(40, 30, pattern(40, 30)), turn(45, 40, 30))->extent();
    EXPECT_LT(tilted.minX(), 0);
    EXPECT_LT(tilted.minY(), 0);
}

TEST(CoreImageImage, ScalingSamplesLinearlyWithTransparentOutside) {
    const ImagePtr img = image(2, 2, {0, 0, 0, 255, 255, 255, 255, 255, 0, 0, 0, 255, 255, 255, 255, 255});
    const ImagePtr wide = transformed(img, AffineTransform::makeScale(2, 1));
    EXPECT_EQ(wide->extent(), Rect(0, 0, 4, 2));
    EXPECT_EQ(pixels(wide, Rect(0, 0, 4, 1)),
              (Bytes{0, 0, 0, 191, 64, 64, 64, 255, 191, 191, 191, 255, 255, 255, 255, 191}));
}

TEST(CoreImageImage, ChainedTransformsResampleOnce) {
    const Bytes bytes = pattern(7, 5);
    const ImagePtr img = image(7, 5, bytes);
    // Two half-pixel moves would blur if each resampled; folded they cancel.
    const ImagePtr there = img->imageByApplyingTransform(AffineTransform::makeTranslation(0.5, 0.25));
    EXPECT_EQ(there->imageByApplyingTransform(AffineTransform::makeTranslation(-0.5, -0.25)).get(),
              img.get());
    const ImagePtr back = there->imageByApplyingTransform(AffineTransform::makeScale(2, 2))
                              ->imageByApplyingTransform(AffineTransform::makeScale(0.5, 0.5))
                              ->imageByApplyingTransform(AffineTransform::makeTranslation(-0.5, -0.25));
    EXPECT_EQ(back.get(), img.get());

    EXPECT_TRUE(img->imageByApplyingTransform(AffineTransform::makeScale(0, 1))->extent().isNull())
        << "a singular transform leaves nothing";
}
