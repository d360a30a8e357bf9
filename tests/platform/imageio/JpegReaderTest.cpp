// JPEG pixels decoded by the JPEG library straight into the image: the same bytes OpenImageIO
// decodes, turned upright as rows arrive, and reduced by the decoder for thumbnails.
#include "platform/imageio/JpegReader.h"
#include "platform/imageio/Fixtures.h"
#include "platform/imageio/ImageSource.h"
#include "platform/imageio/Orientation.h"

#include <OpenImageIO/imagebuf.h>
#include <gtest/gtest.h>

#include <cmath>

using namespace imageio;

namespace {

// Odd sides, so that turning and block edges are not symmetric by accident.
constexpr int kWidth = 37, kHeight = 21;

std::string jpeg(const test::TempFolder& folder, const std::string& name, int channels, int orientation = 1,
                 int w = kWidth, int h = kHeight) {
    OIIO::ImageSpec extra;
    extra.attribute("Orientation", orientation);
    extra.attribute("Compression", "jpeg:90");
    const std::string path = folder.file(name);
    test::writeWithOIIO(path, test::pattern(w, h, channels), w, h, channels, OIIO::TypeDesc::UINT8, &extra);
    return path;
}

void expectSamePixels(const graphics::Image& a, const graphics::Image& b) {
    ASSERT_EQ(a.width(), b.width());
    ASSERT_EQ(a.height(), b.height());
    ASSERT_EQ(a.format(), b.format());
    for (int y = 0; y < a.height(); ++y)
        ASSERT_EQ(0, std::memcmp(a.row(y), b.row(y), size_t(a.width()) * 4)) << "row " << y;
}

} // namespace

TEST(JpegReader, DecodesTheBytesOpenImageIODecodes) {
    test::TempFolder folder;
    for (int channels : {3, 1}) {
        SCOPED_TRACE(channels);
        const std::string path = jpeg(folder, "c" + std::to_string(channels) + ".jpg", channels);
        graphics::ImagePtr image = ImageSource::createWithPath(path)->createImage();
        ASSERT_TRUE(image);
        EXPECT_EQ(image->format().order[3], graphics::Channel::X);
        OIIO::ImageBuf reference(path);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const uint8_t* p = image->row(y) + size_t(x) * 4;
                for (int c = 0; c < 3; ++c)
                    ASSERT_EQ(p[c], std::lround(reference.getchannel(x, y, 0, channels == 1 ? 0 : c) * 255))
                        << x << "," << y << " " << c;
                ASSERT_EQ(p[3], 255);
            }
    }
}

class JpegOrientationTest : public testing::TestWithParam<int> {};

// The thumbnail is turned as the rows arrive; turning the stored picture afterwards is the
// reference, byte for byte.
TEST_P(JpegOrientationTest, ThumbnailIsTheStoredPictureTurned) {
    test::TempFolder folder;
    const int orientation = GetParam();
    auto source = ImageSource::createWithPath(jpeg(folder, "o.jpg", 3, orientation));
    graphics::ImagePtr stored = source->createImage();
    ASSERT_TRUE(stored) << source->failureReason();
    graphics::ImagePtr upright = applyOrientation(stored, orientation);
    graphics::ImagePtr thumb = source->createThumbnail(0);
    ASSERT_TRUE(thumb) << source->failureReason();
    expectSamePixels(*thumb, *upright);
}

INSTANTIATE_TEST_SUITE_P(AllEight, JpegOrientationTest, testing::Range(1, 9));

TEST(JpegReader, ScaleIsTheSmallestEighthThatKeepsTheSide) {
    const struct {
        int stored, wanted, eighths;
    } cases[] = {{4608, 0, 8},   {4608, 4608, 8}, {4608, 5000, 8}, {4608, 160, 1}, {4608, 576, 1},
                 {4608, 577, 2}, {4608, 4000, 7}, {4608, 4033, 8}, {10, 1, 1}};
    for (const auto& c : cases)
        EXPECT_EQ(jpegScaleEighths(c.stored, c.wanted), c.eighths) << c.stored << " " << c.wanted;
}

// A reduced thumbnail comes from the decoder's reduction: its size is the one asked for, turned,
// and its pixels stay close to the whole picture drawn small.
TEST(JpegReader, ReducedThumbnailKeepsSizeAndContent) {
    test::TempFolder folder;
    for (int orientation : {1, 6}) {
        SCOPED_TRACE(orientation);
        auto source = ImageSource::createWithPath(jpeg(folder, "big.jpg", 3, orientation, 640, 480));
        graphics::ImagePtr thumb = source->createThumbnail(100);
        ASSERT_TRUE(thumb) << source->failureReason();
        const bool turned = orientation == 6;
        EXPECT_EQ(thumb->width(), turned ? 75 : 100);
        EXPECT_EQ(thumb->height(), turned ? 100 : 75);
        graphics::ImagePtr whole = source->createThumbnail(0);
        ASSERT_TRUE(whole);
        // The pattern is smooth: a pixel of the thumbnail is near the whole picture at its centre.
        for (int y = 0; y < thumb->height(); y += 7)
            for (int x = 0; x < thumb->width(); x += 7) {
                const int wx = int((x + 0.5) * whole->width() / thumb->width());
                const int wy = int((y + 0.5) * whole->height() / thumb->height());
                for (int c = 0; c < 3; ++c)
                    ASSERT_NEAR(test::component(*thumb, x, y, c), test::component(*whole, wx, wy, c),
                                6.0 / 255)
                        << x << "," << y << " " << c;
            }
    }
}

TEST(JpegReader, FileOfAnotherSizeIsRefused) {
    test::TempFolder folder;
    const std::string path = jpeg(folder, "a.jpg", 3);
    JpegPixels read;
    std::string why;
    EXPECT_FALSE(readJpeg(path, kWidth + 1, kHeight, {}, &read, &why));
    EXPECT_NE(why.find("changed"), std::string::npos) << why;
    EXPECT_FALSE(read.data);
    EXPECT_TRUE(readJpeg(path, kWidth, kHeight, {}, &read, &why)) << why;
    EXPECT_EQ(read.width, kWidth);
}
