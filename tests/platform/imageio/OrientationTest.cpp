// Thumbnails come out upright and bounded; the full image keeps the stored orientation.
#include "platform/imageio/Fixtures.h"
#include "platform/imageio/ImageSource.h"

#include <OpenImageIO/imagebufalgo.h>
#include <gtest/gtest.h>

using namespace imageio;

namespace {

constexpr int kWidth = 6, kHeight = 4;

std::string storedWithOrientation(const test::TempFolder& folder, int orientation, int w = kWidth,
                                  int h = kHeight) {
    OIIO::ImageSpec extra;
    extra.attribute("Orientation", orientation);
    const std::string path = folder.file("o" + std::to_string(orientation) + ".tif");
    test::writeWithOIIO(path, test::pattern(w, h, 3), w, h, 3, OIIO::TypeDesc::UINT8, &extra);
    return path;
}

// The upright picture by the Exif description of each value ("mirror horizontal and rotate
// 270 CW" for 5). OpenImageIO's reorient() is no reference: it swaps 5 and 7.
OIIO::ImageBuf uprightByDefinition(const OIIO::ImageBuf& stored, int orientation) {
    namespace algo = OIIO::ImageBufAlgo;
    switch (orientation) {
    case 2:
        return algo::flop(stored);
    case 3:
        return algo::rotate180(stored);
    case 4:
        return algo::flip(stored);
    case 5:
        return algo::rotate270(algo::flop(stored));
    case 6:
        return algo::rotate90(stored);
    case 7:
        return algo::rotate90(algo::flop(stored));
    case 8:
        return algo::rotate270(stored);
    }
    return stored;
}

class OrientationTest : public testing::TestWithParam<int> {};

} // namespace

TEST_P(OrientationTest, ThumbnailIsUprightAndFullImageIsNot) {
    test::TempFolder folder;
    const int orientation = GetParam();
    const std::string path = storedWithOrientation(folder, orientation);
    OIIO::ImageBuf upright = uprightByDefinition(OIIO::ImageBuf(path), orientation);
    ASSERT_FALSE(upright.has_error());

    auto source = ImageSource::createWithPath(path);
    ASSERT_TRUE(source);
    EXPECT_EQ(source->copyProperties().at("Orientation"), foundation::Value(orientation));
    graphics::ImagePtr full = source->createImage();
    ASSERT_TRUE(full);
    EXPECT_EQ(full->width(), kWidth);
    EXPECT_EQ(full->height(), kHeight);

    graphics::ImagePtr thumb = source->createThumbnail(100);
    ASSERT_TRUE(thumb);
    ASSERT_EQ(thumb->width(), upright.spec().width);
    ASSERT_EQ(thumb->height(), upright.spec().height);
    for (int y = 0; y < thumb->height(); ++y)
        for (int x = 0; x < thumb->width(); ++x)
            for (int c = 0; c < 3; ++c)
                ASSERT_NEAR(test::component(*thumb, x, y, c), upright.getchannel(x, y, 0, c), 0.5 / 255)
                    << "pixel " << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(AllEight, OrientationTest, testing::Range(1, 9));

TEST(Thumbnail, LongerSideIsBoundedAndNeverEnlarged) {
    test::TempFolder folder;
    struct Case {
        int orientation, maxPixelSize, width, height;
    } cases[] = {{1, 30, 30, 20}, {6, 30, 20, 30}, {1, 100, 60, 40}, {8, 0, 40, 60}, {1, 1, 1, 1}};
    for (const Case& c : cases) {
        auto source = ImageSource::createWithPath(storedWithOrientation(folder, c.orientation, 60, 40));
        graphics::ImagePtr thumb = source->createThumbnail(c.maxPixelSize);
        ASSERT_TRUE(thumb);
        EXPECT_EQ(thumb->width(), c.width) << c.orientation << " " << c.maxPixelSize;
        EXPECT_EQ(thumb->height(), c.height) << c.orientation << " " << c.maxPixelSize;
    }
}
