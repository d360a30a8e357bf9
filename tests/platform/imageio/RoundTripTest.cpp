// Writing with ImageDestination and reading back with ImageSource, format by format.
#include "platform/imageio/Fixtures.h"
#include "platform/imageio/ImageDestination.h"
#include "platform/imageio/ImageSource.h"
#include "platform/imageio/TypeIdentifiers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace imageio;
using foundation::Dictionary;

namespace {

struct RoundTrip {
    const char* name;
    const char* type;
    int bits; // of the image written
    bool alpha;
    Dictionary options;
    double tolerance; // largest difference of a component, 0-1
    int decodedBits;
    int tiffCompression; // expected in "{TIFF}" of the file read back; 0: not checked
    int width = 48, height = 32;
};

std::vector<RoundTrip> cases() {
    return {
        {"JPEG", "public.jpeg", 8, false, {{kLossyCompressionQuality, 0.95}}, 0.05, 8, 0},
        {"PNG8", "public.png", 8, true, {}, 0.0, 8, 0},
        {"PNG16", "public.png", 16, true, {{"Depth", 16}}, 0.0, 16, 0},
        {"TIFFNone", "public.tiff", 8, false, {{"{TIFF}", Dictionary{{"Compression", 1}}}}, 0.0, 8, 1},
        {"TIFFLZW16",
         "public.tiff",
         16,
         true,
         {{"Depth", 16}, {"{TIFF}", Dictionary{{"Compression", 5}}}},
         0.0,
         16,
         5},
        // Rows of 8-bit colour are written in bands: a height that is no multiple of one.
        {"TIFFTall",
         "public.tiff",
         8,
         false,
         {{"{TIFF}", Dictionary{{"Compression", 1}}}},
         0.0,
         8,
         1,
         37,
         150},
        {"TIFFDeflate", "public.tiff", 8, false, {{"{TIFF}", Dictionary{{"Compression", 32946}}}}, 0.0, 8, 8},
        {"TIFFPackBits",
         "public.tiff",
         8,
         true,
         {{"{TIFF}", Dictionary{{"Compression", 32773}}}},
         0.0,
         8,
         32773},
        {"JPEG2000", "public.jpeg-2000", 8, false, {}, 1.5 / 255, 8, 0},
        {"OpenEXR", "com.ilm.openexr-image", 32, true, {}, 0.003, 32, 0},
        {"WebP", "org.webmproject.webp", 8, false, {{kLossyCompressionQuality, 1.0}}, 0.08, 8, 0},
        // One shared exponent: a dark component beside a bright one keeps few bits.
        {"Radiance", "public.radiance", 8, false, {}, 0.07, 32, 0},
        {"HEIF", "public.heic", 8, false, {{kLossyCompressionQuality, 0.95}}, 0.1, 8, 0},
    };
}

class RoundTripTest : public testing::TestWithParam<RoundTrip> {};

} // namespace

TEST_P(RoundTripTest, SizeDepthAndPixelsSurvive) {
    const RoundTrip& c = GetParam();
    const auto& writable = destinationTypeIdentifiers();
    if (std::find(writable.begin(), writable.end(), c.type) == writable.end()) GTEST_SKIP() << "no encoder";
    test::TempFolder folder;
    const std::string path = folder.file("image." + extensionsForType(c.type).front());
    const int w = c.width, h = c.height;
    graphics::ImagePtr image = test::patternImage(w, h, c.bits, c.alpha);

    auto destination = ImageDestination::createWithPath(path, c.type);
    ASSERT_TRUE(destination);
    destination->addImage(image, c.options);
    ASSERT_TRUE(destination->finalize());

    auto source = ImageSource::createWithPath(path);
    ASSERT_TRUE(source);
    EXPECT_EQ(source->type(), c.type);
    graphics::ImagePtr back = source->createImage();
    ASSERT_TRUE(back) << source->failureReason();
    ASSERT_EQ(back->width(), w);
    ASSERT_EQ(back->height(), h);
    EXPECT_EQ(back->format().bitsPerComponent, c.decodedBits);
    EXPECT_EQ(back->format().hasAlpha(), c.alpha);
    EXPECT_FALSE(back->format().premultiplied);
    const Dictionary& props = source->copyProperties();
    EXPECT_EQ(props.at("PixelWidth").getInt64(), w);
    EXPECT_EQ(props.at("HasAlpha").getBool(), c.alpha);
    if (c.tiffCompression) {
        EXPECT_EQ(props.at("{TIFF}").find("Compression")->getInt64(), c.tiffCompression);
    }

    double worst = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int ch = 0; ch < (c.alpha ? 4 : 3); ++ch)
                worst = std::max(
                    worst, std::fabs(test::component(*back, x, y, ch) - test::component(*image, x, y, ch)));
    EXPECT_LE(worst, c.tolerance + 1e-6);
}

INSTANTIATE_TEST_SUITE_P(Formats, RoundTripTest, testing::ValuesIn(cases()),
                         [](const testing::TestParamInfo<RoundTrip>& info) {
                             return std::string(info.param.name);
                         });
