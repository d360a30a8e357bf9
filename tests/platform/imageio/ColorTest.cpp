// Everything comes out as sRGB RGB: ICC profiles converted, linear values encoded, grey and
// CMYK expanded.
#include "platform/imageio/Fixtures.h"
#include "platform/imageio/ImageSource.h"

#include <gtest/gtest.h>
#include <lcms2.h>

using namespace imageio;

namespace {

// A wide-gamut profile (the primaries of ProPhoto RGB, gamma 1.8) or sRGB's own, as ICC bytes.
std::vector<uint8_t> profileBytes(bool wide) {
    cmsHPROFILE p;
    if (wide) {
        cmsCIExyY white;
        cmsWhitePointFromTemp(&white, 5003);
        const cmsCIExyYTRIPLE primaries = {{0.7347, 0.2653, 1}, {0.1596, 0.8404, 1}, {0.0366, 0.0001, 1}};
        cmsToneCurve* gamma = cmsBuildGamma(nullptr, 1.8);
        cmsToneCurve* curves[3] = {gamma, gamma, gamma};
        p = cmsCreateRGBProfile(&white, &primaries, curves);
        cmsFreeToneCurve(gamma);
    } else {
        p = cmsCreate_sRGBProfile();
    }
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(p, nullptr, &size);
    std::vector<uint8_t> bytes(size);
    cmsSaveProfileToMem(p, bytes.data(), &size);
    cmsCloseProfile(p);
    return bytes;
}

// A uniform 8-bit RGB TIFF carrying a profile.
graphics::ImagePtr readProfiled(const test::TempFolder& folder, const std::vector<uint8_t>& icc, const float rgb[3]) {
    OIIO::ImageSpec extra;
    extra.attribute("ICCProfile", OIIO::TypeDesc(OIIO::TypeDesc::UINT8, int(icc.size())), icc.data());
    std::vector<float> pixels;
    for (int i = 0; i < 16; ++i) pixels.insert(pixels.end(), rgb, rgb + 3);
    const std::string path = folder.file("profiled.tif");
    test::writeWithOIIO(path, pixels, 4, 4, 3, OIIO::TypeDesc::UINT8, &extra);
    auto source = ImageSource::createWithPath(path);
    EXPECT_TRUE(source->copyProperties().count("ProfileName"));
    return source->createImage();
}

} // namespace

TEST(Color, WideGamutProfileIsConvertedToSRGB) {
    test::TempFolder folder;
    const float rgb[3] = {180 / 255.f, 120 / 255.f, 60 / 255.f};
    graphics::ImagePtr image = readProfiled(folder, profileBytes(true), rgb);
    ASSERT_TRUE(image);
    // The same numbers mean a more saturated colour in the wider space: further from grey in sRGB.
    EXPECT_GT(test::component(*image, 1, 1, 0), rgb[0] + 10 / 255.0);
    EXPECT_LT(test::component(*image, 1, 1, 2), rgb[2]);
}

TEST(Color, SRGBProfileLeavesPixelsAlone) {
    test::TempFolder folder;
    const float rgb[3] = {180 / 255.f, 120 / 255.f, 60 / 255.f};
    graphics::ImagePtr image = readProfiled(folder, profileBytes(false), rgb);
    ASSERT_TRUE(image);
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(test::component(*image, 2, 3, c), std::round(rgb[c] * 255) / 255, 1e-6);
}

TEST(Color, GreyBecomesRGB) {
    test::TempFolder folder;
    const std::string path = folder.file("grey.png");
    test::writeWithOIIO(path, test::pattern(8, 8, 2), 8, 8, 2, OIIO::TypeDesc::UINT16);
    auto source = ImageSource::createWithPath(path);
    EXPECT_EQ(source->copyProperties().at("ColorModel"), foundation::Value("Gray"));
    graphics::ImagePtr image = source->createImage();
    ASSERT_TRUE(image);
    EXPECT_EQ(image->format().bitsPerComponent, 16);
    EXPECT_TRUE(image->format().hasAlpha());
    const double grey = test::pattern(8, 8, 2)[2 * (8 * 3 + 5)];
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(test::component(*image, 5, 3, c), grey, 1 / 65535.0);
}

TEST(Color, CMYKBecomesRGB) {
    test::TempFolder folder;
    const std::string path = folder.file("cmyk.tif");
    OIIO::ImageSpec extra;
    extra.attribute("tiff:ColorSpace", "CMYK");
    std::vector<float> pixels;
    for (int i = 0; i < 4; ++i) pixels.insert(pixels.end(), {0.2f, 0.4f, 0.6f, 0.1f});
    test::writeWithOIIO(path, pixels, 2, 2, 4, OIIO::TypeDesc::UINT8, &extra);
    auto source = ImageSource::createWithPath(path);
    EXPECT_EQ(source->copyProperties().at("ColorModel"), foundation::Value("CMYK"));
    graphics::ImagePtr image = source->createImage();
    ASSERT_TRUE(image);
    EXPECT_FALSE(image->format().hasAlpha());
    const double expected[3] = {0.8 * 0.9, 0.6 * 0.9, 0.4 * 0.9};
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(test::component(*image, 1, 1, c), expected[c], 1.5 / 255);
}

TEST(Color, LinearOpenEXRIsEncodedToSRGB) {
    test::TempFolder folder;
    const std::string path = folder.file("linear.exr");
    std::vector<float> pixels;
    for (int i = 0; i < 4; ++i) pixels.insert(pixels.end(), {0.214041f, 0.0f, 1.0f});
    test::writeWithOIIO(path, pixels, 2, 2, 3, OIIO::TypeDesc::HALF);
    graphics::ImagePtr image = ImageSource::createWithPath(path)->createImage();
    ASSERT_TRUE(image);
    EXPECT_EQ(image->format().bitsPerComponent, 32);
    EXPECT_NEAR(test::component(*image, 0, 0, 0), 0.5, 1e-3);
    EXPECT_NEAR(test::component(*image, 0, 0, 1), 0.0, 1e-6);
    EXPECT_NEAR(test::component(*image, 0, 0, 2), 1.0, 1e-3);
}
