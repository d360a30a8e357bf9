#include "editor/ImageOpening.h"

#include "support/TemporaryDirectory.h"

#include <OpenImageIO/imageio.h>
#include <fstream>
#include <gtest/gtest.h>
#include <vector>

namespace {

// A small photo whose pixels are stored turned: left half red, right half blue as stored.
std::string writePhoto(const std::string& path, int width, int height, int orientation) {
    auto out = OIIO::ImageOutput::create(path);
    OIIO::ImageSpec spec(width, height, 3, OIIO::TypeDesc::UINT8);
    if (orientation > 0) spec.attribute("Orientation", orientation);
    spec.attribute("Make", "Testmaker");
    std::vector<unsigned char> pixels(size_t(width) * height * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            unsigned char* p = &pixels[(size_t(y) * width + x) * 3];
            p[0] = x < width / 2 ? 250 : 0;
            p[2] = x < width / 2 ? 0 : 250;
        }
    EXPECT_TRUE(out && out->open(path, spec) && out->write_image(OIIO::TypeDesc::UINT8, pixels.data()) &&
                out->close());
    return path;
}

const foundation::Dictionary& tiffOf(const foundation::Dictionary& properties) {
    static const foundation::Dictionary none;
    auto it = properties.find("{TIFF}");
    return it != properties.end() && it->second.getDictionary() ? *it->second.getDictionary() : none;
}

TEST(ImageOpening, PixelCapAndScaledSizes) {
    struct Case {
        int width, height;
        bool resized;
        int outWidth, outHeight;
    };
    const Case cases[] = {{4000, 4000, false, 0, 0},
                          {4001, 4000, true, 3999, 3998},
                          {6000, 4000, true, 4897, 3265},
                          {4000, 6000, true, 3265, 4897},
                          {20000, 1000, true, 17887, 894}};
    for (const Case& c : cases) {
        EXPECT_EQ(ImageOpening::needsResize(c.width, c.height), c.resized) << c.width << "x" << c.height;
        if (!c.resized) continue;
        int w = 0, h = 0;
        ImageOpening::cappedSize(c.width, c.height, &w, &h);
        EXPECT_EQ(w, c.outWidth) << c.width << "x" << c.height;
        EXPECT_EQ(h, c.outHeight) << c.width << "x" << c.height;
        EXPECT_LE(double(w) * h, ImageOpening::RivorezIduvivViewControllerMaxPixels);
    }
}

TEST(ImageOpening, TurnedJpegOpensUprightWithoutOrientationKept) {
    TemporaryDirectory dir;
    const std::string path = writePhoto(dir.path().string() + "/turned.jpg", 40, 20, 6);
    ImageOpening::OpenedPhoto opened = ImageOpening::readPhoto(path);
    ASSERT_NE(opened.image, nullptr) << opened.failure;
    EXPECT_EQ(opened.image->width(), 20);
    EXPECT_EQ(opened.image->height(), 40);
    EXPECT_EQ(opened.utType, "public.jpeg");
    EXPECT_TRUE(opened.properties.count("Orientation"));
    EXPECT_FALSE(opened.keptProperties.count("Orientation"));
    EXPECT_FALSE(opened.keptProperties.count("Depth"));
    EXPECT_FALSE(opened.keptProperties.count("HasAlpha"));
    const foundation::Dictionary& tiff = tiffOf(opened.keptProperties);
    EXPECT_FALSE(tiff.count("Orientation"));
    ASSERT_TRUE(tiff.count("Software"));
    EXPECT_EQ(*tiff.at("Software").getString(), ImageOpening::softwareName());
    ASSERT_TRUE(tiff.count("Make"));
    EXPECT_EQ(*tiff.at("Make").getString(), "Testmaker");
}

TEST(ImageOpening, FileWithoutTiffPropertiesGetsSoftwareOnly) {
    foundation::Dictionary plain{{"PixelWidth", foundation::Value(int64_t(10))},
                                 {"Orientation", foundation::Value(int64_t(1))}};
    foundation::Dictionary kept = ImageOpening::keptProperties(plain);
    const foundation::Dictionary& tiff = tiffOf(kept);
    ASSERT_EQ(tiff.size(), 1u);
    EXPECT_TRUE(tiff.count("Software"));
    EXPECT_TRUE(kept.count("PixelWidth"));
}

TEST(ImageOpening, UnreadableFilesSayWhy) {
    TemporaryDirectory dir;
    ImageOpening::OpenedPhoto missing = ImageOpening::readPhoto(dir.path().string() + "/none.jpg");
    EXPECT_FALSE(missing.hasSource);
    EXPECT_EQ(missing.image, nullptr);
    const std::string junk = dir.path().string() + "/junk.jpg";
    std::ofstream(junk) << "not a picture at all";
    ImageOpening::OpenedPhoto damaged = ImageOpening::readPhoto(junk);
    EXPECT_TRUE(damaged.hasSource);
    EXPECT_EQ(damaged.image, nullptr);
    EXPECT_FALSE(damaged.failure.empty());
}

TEST(ImageOpening, ResizeKeepsAspectAndContent) {
    TemporaryDirectory dir;
    ImageOpening::OpenedPhoto opened =
        ImageOpening::readPhoto(writePhoto(dir.path().string() + "/wide.png", 400, 200, 0));
    ASSERT_NE(opened.image, nullptr);
    graphics::ImagePtr small = ImageOpening::resizeImage(opened.image, 100, 100);
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(small->width(), 100);
    EXPECT_EQ(small->height(), 50);
    EXPECT_NE(small, opened.image);
}

} // namespace
