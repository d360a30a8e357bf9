#include "Pixels.h"

#include <gtest/gtest.h>

using namespace coreimage;
using namespace coreimage::test;
using graphics::Color;
using graphics::Rect;

namespace {

using Bytes = std::vector<uint8_t>;

ImagePtr opaque(uint8_t r, uint8_t g, uint8_t b) {
    return image(1, 1, {r, g, b, 255});
}

} // namespace

TEST(CoreImageFilter, BuiltInsGiveTheirGoldenPixels) {
    const ImagePtr fg = opaque(200, 100, 50), bg = opaque(20, 40, 60);
    const ImagePtr half = image(1, 1, {200, 100, 50, 128});
    struct Case {
        const char* label;
        const char* name;
        std::vector<std::pair<const char*, FilterValue>> inputs;
        Bytes expected; // RGBA, not premultiplied, at (0, 0)
    };
    const std::vector<Case> cases = {
        {"mask green full",
         "CIBlendWithMask",
         {{"inputImage", fg}, {"inputBackgroundImage", bg}, {"inputMaskImage", opaque(0, 255, 0)}},
         {200, 100, 50, 255}},
        {"mask red and blue ignored",
         "CIBlendWithMask",
         {{"inputImage", fg}, {"inputBackgroundImage", bg}, {"inputMaskImage", opaque(255, 0, 255)}},
         {20, 40, 60, 255}},
        {"mask grey blends",
         "CIBlendWithMask",
         {{"inputImage", fg}, {"inputBackgroundImage", bg}, {"inputMaskImage", opaque(128, 128, 128)}},
         {110, 70, 55, 255}},
        {"alpha forced to one, colour kept",
         "CIColorMatrix",
         {{"inputImage", half},
          {"inputAVector", Vector(0, 0, 0, 0)},
          {"inputBiasVector", Vector(0, 0, 0, 1)}},
         {200, 100, 50, 255}},
        {"red and blue swapped",
         "CIColorMatrix",
         {{"inputImage", half}, {"inputRVector", Vector(0, 0, 1, 0)}, {"inputBVector", Vector(1, 0, 0, 0)}},
         {50, 100, 200, 128}},
        {"invert opaque", "CIColorInvert", {{"inputImage", fg}}, {55, 155, 205, 255}},
        {"invert keeps alpha", "CIColorInvert", {{"inputImage", half}}, {55, 155, 205, 128}},
        {"source in takes the background's alpha",
         "CISourceInCompositing",
         {{"inputImage", fg}, {"inputBackgroundImage", image(1, 1, {0, 0, 0, 128})}},
         {200, 100, 50, 128}},
        {"source over a half-transparent red",
         "CISourceOverCompositing",
         {{"inputImage", image(1, 1, {255, 0, 0, 128})}, {"inputBackgroundImage", opaque(0, 0, 255)}},
         {128, 0, 127, 255}},
        {"constant colour",
         "CIConstantColorGenerator",
         {{"inputColor", Color{1, 0.5, 0, 0.5}}},
         {255, 128, 0, 128}},
    };
    for (const Case& c : cases) {
        FilterPtr f = Filter::filterWithName(c.name);
        ASSERT_NE(f, nullptr) << c.label;
        for (const auto& [key, value] : c.inputs)
            f->setValue(key, value);
        const ImagePtr out = asImage(f->value("outputImage"));
        ASSERT_NE(out, nullptr) << c.label;
        EXPECT_EQ(pixelAt(out, 0, 0), c.expected) << c.label;
    }
}

TEST(CoreImageFilter, ExtentsFollowWhatEachFilterCanCover) {
    const ImagePtr small = image(2, 2, pattern(2, 2)), big = image(4, 4, pattern(4, 4));
    const ImagePtr grey = Image::imageWithColor(Color{0.5, 0.5, 0.5, 1});
    const ImagePtr movedSmall =
        small->imageByApplyingTransform(graphics::AffineTransform::makeTranslation(5, 0));

    EXPECT_EQ(
        output(filter("CIBlendWithMask",
                      {{"inputImage", movedSmall}, {"inputBackgroundImage", big}, {"inputMaskImage", grey}}))
            ->extent(),
        Rect(0, 0, 7, 4));
    EXPECT_EQ(output(filter("CISourceInCompositing", {{"inputImage", grey}, {"inputBackgroundImage", small}}))
                  ->extent(),
              Rect(0, 0, 2, 2));
    EXPECT_EQ(
        output(filter("CISourceOverCompositing", {{"inputImage", movedSmall}, {"inputBackgroundImage", big}}))
            ->extent(),
        Rect(0, 0, 7, 4));
    EXPECT_EQ(output(filter("CIColorMatrix", {{"inputImage", small}}))->extent(), Rect(0, 0, 2, 2));
    EXPECT_TRUE(
        output(filter("CIColorMatrix", {{"inputImage", small}, {"inputBiasVector", Vector(0, 0, 0, 1)}}))
            ->extent()
            .isInfinite())
        << "an alpha bias colours transparent pixels too";
}

TEST(CoreImageFilter, PixellateTakesEachCellsCentrePixel) {
    const Bytes bytes = pattern(4, 4);
    const ImagePtr img = image(4, 4, bytes);
    const ImagePtr cells = output(
        filter("CIPixellate", {{"inputImage", img}, {"inputCenter", Vector(0, 0)}, {"inputScale", 2.0}}));
    ASSERT_NE(cells, nullptr);
    EXPECT_EQ(cells->extent(), img->extent());
    // Cells [0, 2) and [2, 4) have their centres on pixels 1 and 3.
    const int source[4] = {1, 1, 3, 3};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(pixelAt(cells, x, y), pixelAt(img, source[x], source[y]));

    // Cells smaller than a pixel, as the mask canvas uses them, change nothing.
    const ImagePtr fine = output(filter(
        "CIPixellate", {{"inputImage", img}, {"inputCenter", Vector(1, 1)}, {"inputScale", 1 / 2.45}}));
    EXPECT_EQ(pixels(fine, fine->extent()), bytes);

    // Huge cells read one pixel per cell, not the whole span between them.
    const ImagePtr huge = output(
        filter("CIPixellate", {{"inputImage", img}, {"inputCenter", Vector(2, 2)}, {"inputScale", 1e7}}));
    EXPECT_EQ(pixels(huge, huge->extent()).size(), bytes.size());

    for (double bad : {0.0, -3.0})
        EXPECT_EQ(output(filter("CIPixellate", {{"inputImage", img}, {"inputScale", bad}})), nullptr) << bad;
}

TEST(CoreImageFilter, InputsDefaultsAndMissingValues) {
    EXPECT_EQ(Filter::filterWithName("CINoSuchFilter"), nullptr);

    FilterPtr f = Filter::filterWithName("CIColorMatrix");
    EXPECT_EQ(asVector(f->value("inputRVector")), Vector(1, 0, 0, 0)) << "made with its defaults";
    EXPECT_EQ(f->outputImage(), nullptr) << "no input image";
    f->setValue("inputImage", opaque(1, 2, 3));
    f->setValue("inputGVector", Vector(0, 0, 0, 0));
    f->setDefaults();
    EXPECT_EQ(asVector(f->value("inputGVector")), Vector(0, 1, 0, 0));
    EXPECT_NE(asImage(f->value("outputImage")), nullptr);
    f->setValue("outputImage", opaque(9, 9, 9));
    f->setValue("inputBiasVector", 3.0); // the wrong kind
    EXPECT_EQ(f->outputImage(), nullptr);

    const std::vector<std::string> keys = Filter::filterWithName("CIBlendWithMask")->inputKeys();
    EXPECT_EQ(keys, (std::vector<std::string>{"inputBackgroundImage", "inputImage", "inputMaskImage"}));
    EXPECT_EQ(output(filter("CIBlendWithMask",
                            {{"inputImage", opaque(1, 1, 1)}, {"inputMaskImage", opaque(1, 1, 1)}})),
              nullptr);
}
