// Everything comes out as sRGB RGB: ICC profiles converted, linear values encoded, grey and
// CMYK expanded.
#include "platform/imageio/Fixtures.h"
#include "platform/imageio/ImageSource.h"
#include "platform/imageio/JpegReader.h"

#include <gtest/gtest.h>
#include <lcms2.h>

#include <cstdio>

#include <jpeglib.h>

#include <algorithm>
#include <array>

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
graphics::ImagePtr readProfiled(const test::TempFolder& folder, const std::vector<uint8_t>& icc,
                                const float rgb[3]) {
    OIIO::ImageSpec extra;
    extra.attribute("ICCProfile", OIIO::TypeDesc(OIIO::TypeDesc::UINT8, int(icc.size())), icc.data());
    std::vector<float> pixels;
    for (int i = 0; i < 16; ++i)
        pixels.insert(pixels.end(), rgb, rgb + 3);
    const std::string path = folder.file("profiled.tif");
    test::writeWithOIIO(path, pixels, 4, 4, 3, OIIO::TypeDesc::UINT8, &extra);
    auto source = ImageSource::createWithPath(path);
    EXPECT_TRUE(source->copyProperties().count("ProfileName"));
    return source->createImage();
}

// A printer profile whose inks map to colours far from the plain ink formula: cyan reads as
// warm, black only half darkens.
cmsInt32Number inkSampler(const cmsUInt16Number in[], cmsUInt16Number out[], void*) {
    const double c = in[0] / 65535.0, m = in[1] / 65535.0, y = in[2] / 65535.0, k = in[3] / 65535.0;
    const double L = 90 - 30 * m - 40 * k, a = 40 * c - 30 * y, b = 50 * c + 20 * m;
    out[0] = cmsUInt16Number(L / 100 * 65535 + 0.5);
    out[1] = cmsUInt16Number((a + 128) * 257 + 0.5);
    out[2] = cmsUInt16Number((b + 128) * 257 + 0.5);
    return 1;
}

std::vector<uint8_t> cmykProfileBytes() {
    cmsHPROFILE p = cmsCreateProfilePlaceholder(nullptr);
    cmsSetProfileVersion(p, 2.1); // a bare table is saved only as a version 2 lookup
    cmsSetDeviceClass(p, cmsSigOutputClass);
    cmsSetColorSpace(p, cmsSigCmykData);
    cmsSetPCS(p, cmsSigLabData);
    cmsPipeline* pipeline = cmsPipelineAlloc(nullptr, 4, 3);
    cmsStage* clut = cmsStageAllocCLut16bit(nullptr, 5, 4, 3, nullptr);
    cmsStageSampleCLut16bit(clut, inkSampler, nullptr, 0);
    cmsPipelineInsertStage(pipeline, cmsAT_BEGIN, clut);
    cmsWriteTag(p, cmsSigAToB0Tag, pipeline);
    cmsPipelineFree(pipeline);
    cmsMLU* name = cmsMLUalloc(nullptr, 1);
    cmsMLUsetASCII(name, "en", "US", "Warm inks");
    cmsWriteTag(p, cmsSigProfileDescriptionTag, name);
    cmsMLUfree(name);
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(p, nullptr, &size);
    std::vector<uint8_t> bytes(size);
    cmsSaveProfileToMem(p, bytes.data(), &size);
    cmsCloseProfile(p);
    return bytes;
}

// What the profile makes of 8-bit inks, in sRGB.
std::array<uint8_t, 3> throughProfile(const std::vector<uint8_t>& icc, const uint8_t cmyk[4]) {
    cmsHPROFILE in = cmsOpenProfileFromMem(icc.data(), cmsUInt32Number(icc.size()));
    cmsHPROFILE srgb = cmsCreate_sRGBProfile();
    cmsHTRANSFORM t = cmsCreateTransform(in, TYPE_CMYK_8, srgb, TYPE_RGB_8, INTENT_PERCEPTUAL, 0);
    std::array<uint8_t, 3> rgb{};
    cmsDoTransform(t, cmyk, rgb.data(), 1);
    cmsDeleteTransform(t);
    cmsCloseProfile(srgb);
    cmsCloseProfile(in);
    return rgb;
}

// A CMYK JPEG of uniform inks written as print software does: inverted, with an Adobe marker and
// the profile in its markers.
void writeCmykJpeg(const std::string& path, int w, int h, const uint8_t inks[4],
                   const std::vector<uint8_t>& icc) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(file);
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = JDIMENSION(w);
    info.image_height = JDIMENSION(h);
    info.input_components = 4;
    info.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    jpeg_start_compress(&info, TRUE);
    jpeg_write_icc_profile(&info, icc.data(), unsigned(icc.size()));
    std::vector<uint8_t> row;
    for (int x = 0; x < w; ++x)
        for (int c = 0; c < 4; ++c)
            row.push_back(uint8_t(255 - inks[c]));
    for (int y = 0; y < h; ++y) {
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&info, &r, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::fclose(file);
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
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(test::component(*image, 2, 3, c), std::round(rgb[c] * 255) / 255, 1e-6);
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
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(test::component(*image, 5, 3, c), grey, 1 / 65535.0);
}

TEST(Color, CMYKBecomesRGB) {
    test::TempFolder folder;
    const std::string path = folder.file("cmyk.tif");
    OIIO::ImageSpec extra;
    extra.attribute("tiff:ColorSpace", "CMYK");
    std::vector<float> pixels;
    for (int i = 0; i < 4; ++i)
        pixels.insert(pixels.end(), {0.2f, 0.4f, 0.6f, 0.1f});
    test::writeWithOIIO(path, pixels, 2, 2, 4, OIIO::TypeDesc::UINT8, &extra);
    auto source = ImageSource::createWithPath(path);
    EXPECT_EQ(source->copyProperties().at("ColorModel"), foundation::Value("CMYK"));
    graphics::ImagePtr image = source->createImage();
    ASSERT_TRUE(image);
    EXPECT_FALSE(image->format().hasAlpha());
    const double expected[3] = {0.8 * 0.9, 0.6 * 0.9, 0.4 * 0.9};
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(test::component(*image, 1, 1, c), expected[c], 1.5 / 255);
}

TEST(Color, LinearOpenEXRIsEncodedToSRGB) {
    test::TempFolder folder;
    const std::string path = folder.file("linear.exr");
    std::vector<float> pixels;
    for (int i = 0; i < 4; ++i)
        pixels.insert(pixels.end(), {0.214041f, 0.0f, 1.0f});
    test::writeWithOIIO(path, pixels, 2, 2, 3, OIIO::TypeDesc::HALF);
    graphics::ImagePtr image = ImageSource::createWithPath(path)->createImage();
    ASSERT_TRUE(image);
    EXPECT_EQ(image->format().bitsPerComponent, 32);
    EXPECT_NEAR(test::component(*image, 0, 0, 0), 0.5, 1e-3);
    EXPECT_NEAR(test::component(*image, 0, 0, 1), 0.0, 1e-6);
    EXPECT_NEAR(test::component(*image, 0, 0, 2), 1.0, 1e-3);
}

// A 2 x 2 GIF with a transparent palette entry: red (transparent) and blue, diagonally.
TEST(Color, GIFTransparencyIsKept) {
    test::TempFolder folder;
    const std::vector<unsigned char> gif = {'G',  'I',  'F',  '8',  '9',  'a', 2, 0, 2, 0,
                                            0x80, 0,    0, // screen with a 2-entry palette
                                            255,  0,    0,    0,    0,    255,       // palette: red, blue
                                            0x21, 0xF9, 4,    1,    0,    0,   0, 0, // entry 0 is transparent
                                            0x2C, 0,    0,    0,    0,    2,   0, 2, 0, 0, // image descriptor
                                            2,    3,    0x44, 0x02, 0x05, 0, // LZW of indices 0 1 1 0
                                            ';'};
    const std::string path = folder.file("transparent.gif");
    test::writeBytes(path, {gif.begin(), gif.end()});
    auto source = ImageSource::createWithPath(path);
    EXPECT_EQ(source->copyProperties().at("HasAlpha"), foundation::Value(true));
    graphics::ImagePtr image = source->createImage();
    ASSERT_TRUE(image) << source->failureReason();
    ASSERT_TRUE(image->format().hasAlpha());
    const int a = image->format().indexOf(graphics::Channel::A);
    EXPECT_EQ(test::component(*image, 0, 0, a), 0.0);
    EXPECT_EQ(test::component(*image, 1, 1, a), 0.0);
    for (int p : {0, 1}) {
        EXPECT_EQ(test::component(*image, p, 1 - p, a), 1.0);
        EXPECT_EQ(test::component(*image, p, 1 - p, image->format().indexOf(graphics::Channel::B)), 1.0);
    }
}

TEST(Color, CMYKTIFFGoesThroughItsProfile) {
    test::TempFolder folder;
    const std::vector<uint8_t> icc = cmykProfileBytes();
    const uint8_t inks[4] = {153, 51, 102, 26};
    const std::array<uint8_t, 3> expected = throughProfile(icc, inks);
    // Far from the plain formula, so that a reader ignoring the profile fails.
    const double plain = (255 - inks[0]) * (255 - inks[3]) / 255.0;
    ASSERT_GT(std::abs(expected[0] - plain), 40);

    OIIO::ImageSpec extra;
    extra.attribute("tiff:ColorSpace", "CMYK");
    extra.attribute("ICCProfile", OIIO::TypeDesc(OIIO::TypeDesc::UINT8, int(icc.size())), icc.data());
    std::vector<float> pixels;
    for (int i = 0; i < 6; ++i)
        for (uint8_t ink : inks)
            pixels.push_back(ink / 255.0f);
    const std::string path = folder.file("cmyk-profiled.tif");
    test::writeWithOIIO(path, pixels, 3, 2, 4, OIIO::TypeDesc::UINT8, &extra);
    auto source = ImageSource::createWithPath(path);
    EXPECT_EQ(source->copyProperties().at("ColorModel"), foundation::Value("CMYK"));
    EXPECT_EQ(source->copyProperties().at("ProfileName"), foundation::Value("Warm inks"));
    graphics::ImagePtr image = source->createImage();
    ASSERT_TRUE(image) << source->failureReason();
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(test::component(*image, 2, 1, c) * 255, expected[c], 1.0) << c;
}

TEST(Color, CMYKJPEGGoesThroughItsProfile) {
    test::TempFolder folder;
    const std::vector<uint8_t> icc = cmykProfileBytes();
    const uint8_t inks[4] = {153, 51, 102, 26};
    const std::array<uint8_t, 3> expected = throughProfile(icc, inks);
    const std::string path = folder.file("cmyk-profiled.jpg");
    writeCmykJpeg(path, 16, 8, inks, icc);
    auto source = ImageSource::createWithPath(path);
    EXPECT_EQ(source->copyProperties().at("ProfileName"), foundation::Value("Warm inks"));
    graphics::ImagePtr image = source->createImage();
    ASSERT_TRUE(image) << source->failureReason();
    EXPECT_EQ(image->width(), 16);
    EXPECT_FALSE(image->format().hasAlpha());
    // Quality 100 still rounds the inks by a level or so.
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(test::component(*image, 9, 5, c) * 255, expected[c], 3.0) << c;
}

// A CMYK JPEG whose scan is damaged is a failure with a reason, not made-up pixels or the end of the
// program.
TEST(Color, DamagedCMYKJPEGFailsWithAReason) {
    test::TempFolder folder;
    const uint8_t inks[4] = {10, 200, 30, 0};
    const std::string path = folder.file("cmyk.jpg");
    writeCmykJpeg(path, 64, 64, inks, cmykProfileBytes());
    std::vector<char> bytes = test::readBytes(path);
    std::fill(bytes.end() - long(bytes.size() / 4), bytes.end() - 2,
              char(0xFF)); // the scan's end, not its end marker
    test::writeBytes(path, bytes);
    JpegPixels read;
    std::string why;
    EXPECT_FALSE(readJpeg(path, 64, 64, {}, &read, &why));
    EXPECT_NE(why.find("damaged"), std::string::npos) << why;
    EXPECT_FALSE(readJpeg(folder.file("absent.jpg"), 64, 64, {}, &read, &why));
    test::writeBytes(path, {'n', 'o'});
    EXPECT_FALSE(readJpeg(path, 64, 64, {}, &read, &why)) << "the library's error exit comes back";
    EXPECT_NE(why.find("damaged"), std::string::npos) << why;
}
