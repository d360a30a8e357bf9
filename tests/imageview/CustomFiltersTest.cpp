#include "imageview/CICustomFilterTwoImages.h"
#include "imageview/CIFilterRadialBrush.h"
#include "imageview/CIFilterSetAlpha.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>

using coreimage::ImagePtr;
using graphics::Color;
using graphics::Rect;

namespace {

using Pixel = std::array<float, 4>;

Pixel pixelAt(const ImagePtr& image, int x, int y) {
    Pixel p{};
    image->render(coreimage::PixelRect{x, y, 1, 1}, p.data());
    return p;
}

ImagePtr solid(Color c, const Rect& r = Rect(0, 0, 10, 10)) {
    return coreimage::Image::imageWithColor(c)->imageByCroppingToRect(r);
}

std::shared_ptr<CIFilterRadialBrush> brush(double cx, double cy, double r0, double r1, double opacity) {
    auto f = CIFilterRadialBrush::filterWithName("CIFilterRadialBrush");
    f->setValue("inputCenter", coreimage::Vector(cx, cy));
    f->setValue("inputColor0", Color{1, 1, 1, 1});
    f->setValue("inputColor1", Color{1, 1, 1, 0});
    f->setValue("inputRadius0", r0);
    f->setValue("inputRadius1", r1);
    f->setValue("inputSoftness", 1.0);
    f->setValue("inputOpacity", opacity);
    return f;
}

ImagePtr twoImages(const std::string& name, const ImagePtr& a, const ImagePtr& b) {
    auto f = CICustomFilterTwoImages::filterWithName(name);
    EXPECT_TRUE(f) << name;
    if (!f) return nullptr;
    f->setValue("inputImage", a);
    f->setValue("inputImageSecond", b);
    return f->outputImage();
}

} // namespace

TEST(RadialBrush, ExtentIsTheSquareOfRadiusOne) {
    const ImagePtr dab = brush(100, 100, 20, 40, 1)->outputImage();
    ASSERT_TRUE(dab);
    EXPECT_EQ(dab->extent(), Rect(60, 60, 80, 80));
}

TEST(RadialBrush, InnerColourInsideRadiusZeroFallingSmoothlyToOuterAtRadiusOne) {
    const double opacity = 0.6;
    const ImagePtr dab = brush(100, 100, 10, 30, opacity)->outputImage();
    ASSERT_TRUE(dab);
    // Centre pixel and one inside radius 0: colour 0 times the opacity.
    for (int x : {99, 105}) {
        const Pixel p = pixelAt(dab, x, 99);
        EXPECT_FLOAT_EQ(p[3], float(opacity)) << x;
        EXPECT_FLOAT_EQ(p[0], float(opacity)) << x;
    }
    // Pixel (120, 99) has its centre at (120.5, 99.5), d = hypot(20.5, 0.5) from the centre:
    // t = (d - 10) / 20, smoothstep, alpha = (1 - s) * 0.6.
    const double t = (std::hypot(20.5, 0.5) - 10) / 20, s = t * t * (3 - 2 * t);
    EXPECT_NEAR(pixelAt(dab, 120, 99)[3], (1 - s) * opacity, 1e-6);
    // Non-increasing along a ray, transparent from radius 1 on.
    float previous = 1;
    for (int x = 100; x < 140; ++x) {
        const float a = pixelAt(dab, x, 99)[3];
        EXPECT_LE(a, previous) << x;
        previous = a;
    }
    EXPECT_EQ(pixelAt(dab, 131, 99)[3], 0);
    // Equal radii make a hard disc.
    const ImagePtr hard = brush(100, 100, 20, 20, 1)->outputImage();
    EXPECT_EQ(pixelAt(hard, 119, 99)[3], 1);
    EXPECT_EQ(pixelAt(hard, 120, 99)[3], 0);
}

TEST(RadialBrush, MissingInputMakesNothingAndAnyNameMakesABrush) {
    auto f = CIFilterRadialBrush::filterWithName("anything");
    ASSERT_TRUE(f);
    EXPECT_EQ(f->outputImage(), nullptr);
    EXPECT_TRUE(CIFilterRadialBrush::registerFilter());
    EXPECT_TRUE(coreimage::Filter::filterWithName("RadialBrush"));
}

TEST(TwoImageFilters, ComposeAndEraseOverRandomPremultipliedPixels) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> unit(0, 1);
    const Color transparent{0, 0, 0, 0}, black{0, 0, 0, 1}, white{1, 1, 1, 1};
    for (int i = 0; i < 40; ++i) {
        const Color a{unit(random), unit(random), unit(random), unit(random)};
        const Color b{unit(random), unit(random), unit(random), unit(random)};
        const Pixel pa = pixelAt(solid(a), 3, 3), pb = pixelAt(solid(b), 3, 3);
        const Pixel compose = pixelAt(twoImages("ComposeTwoMasks", solid(a), solid(b)), 3, 3);
        const Pixel erase = pixelAt(twoImages("EraseFilter", solid(a), solid(b)), 3, 3);
        EXPECT_EQ(compose[3], 1);
        EXPECT_EQ(erase[3], 1);
        for (int k = 0; k < 3; ++k) {
            EXPECT_GE(compose[k], pa[k]); // never darkens either input
            EXPECT_GE(compose[k], pb[k]);
            EXPECT_NEAR(erase[k], pb[k] * (1 - pa[3]), 1e-6); // darker in proportion to the dab
        }
        // One input transparent or black: the other one.
        for (const Color& nothing : {transparent, black}) {
            const Pixel other = pixelAt(twoImages("ComposeTwoMasks", solid(nothing), solid(b)), 3, 3);
            for (int k = 0; k < 3; ++k)
                EXPECT_FLOAT_EQ(other[k], pb[k]);
        }
        const Pixel untouched = pixelAt(twoImages("EraseFilter", solid(transparent), solid(b)), 3, 3);
        for (int k = 0; k < 3; ++k)
            EXPECT_FLOAT_EQ(untouched[k], pb[k]);
        const Pixel erased = pixelAt(twoImages("EraseFilter", solid(white), solid(b)), 3, 3);
        EXPECT_EQ(erased, (Pixel{0, 0, 0, 1}));
    }
}

TEST(TwoImageFilters, OutputCoversOnlyTheFirstImage) {
    const ImagePtr dab = brush(50, 50, 5, 10, 1)->outputImage();
    const ImagePtr everywhere = coreimage::Image::imageWithColor(Color{0, 0, 0, 1});
    const ImagePtr out = twoImages("ComposeTwoMasks", dab, everywhere);
    ASSERT_TRUE(out);
    EXPECT_EQ(out->extent(), Rect(40, 40, 20, 20));
    EXPECT_EQ(pixelAt(out, 10, 10)[3], 0); // outside the dab's square: nothing
    auto f = CICustomFilterTwoImages::filterWithName("EraseFilter");
    f->setValue("inputImage", dab);
    EXPECT_EQ(f->outputImage(), nullptr); // the second image missing
}

TEST(SetAlpha, ZeroIsTheIdentityAndOneMakesOpaqueKeepingTheColour) {
    ASSERT_TRUE(CIFilterSetAlpha::registerFilter("SetAlpha"));
    auto f = std::dynamic_pointer_cast<CIFilterSetAlpha>(coreimage::Filter::filterWithName("SetAlpha"));
    ASSERT_TRUE(f);
    const ImagePtr halfRed = solid(Color{1, 0, 0, 0.5});
    f->setValue("inputImage", halfRed);
    f->setValue("inputParam1", 0.0);
    EXPECT_EQ(pixelAt(f->outputImage(), 2, 2), pixelAt(halfRed, 2, 2));
    f->setValue("inputParam1", 1.0);
    EXPECT_EQ(pixelAt(f->outputImage(), 2, 2), (Pixel{1, 0, 0, 1}));
    EXPECT_EQ(f->outputImage()->extent(), halfRed->extent());
    // Transparent pixels become opaque black.
    f->setValue("inputImage", solid(Color{1, 1, 1, 0}));
    EXPECT_EQ(pixelAt(f->outputImage(), 2, 2), (Pixel{0, 0, 0, 1}));
    const auto attributes = f->attributes().inputs.at("inputParam1");
    EXPECT_EQ(attributes.identity, 0.0);
    EXPECT_EQ(attributes.maximum, 1.0);
    EXPECT_EQ(coreimage::asNumber(attributes.defaultValue), 0.5);
}

TEST(CustomFilters, RegistrationNeedsAKernelOfTheName) {
    EXPECT_FALSE(CICustomFilterTwoImages::registerFilter("NoSuchFilter"));
    EXPECT_EQ(coreimage::Filter::filterWithName("NoSuchFilter"), nullptr);
    EXPECT_EQ(CICustomFilterTwoImages::filterWithName("NoSuchFilter"), nullptr);
    EXPECT_TRUE(CICustomFilterTwoImages::registerFilter("EraseFilter"));
    EXPECT_TRUE(CICustomFilterTwoImages::registerFilter("ComposeTwoMasks"));
    const coreimage::FilterPtr erase = coreimage::Filter::filterWithName("EraseFilter");
    ASSERT_TRUE(erase);
    EXPECT_EQ(erase->attributes().displayName, "EraseFilter");
    EXPECT_EQ(erase->attributes().categories.size(), 5u);
}
