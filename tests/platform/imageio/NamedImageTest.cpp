// Named bundle images: lookup order over the two bundles, pixel size, missing and undecodable files.
#include "platform/imageio/NamedImage.h"

#include "support/TestBundle.h"

#include <gtest/gtest.h>

using imageio::imageNamedAdditional;
using imageio::imageWithContentsOfFile;

TEST(NamedImage, MainBundleFirstThenSharedWithTheFilesPixelSize) {
    TestBundle bundle;
    TestBundle::writePicture(bundle.main() / "both.png", 7, 3, 10, 20, 30);
    TestBundle::writePicture(bundle.shared() / "both.png", 2, 2, 0, 0, 0);
    TestBundle::writePicture(bundle.shared() / "paper.jpg", 40, 25, 200, 200, 200);
    TestBundle::writeJunk(bundle.main() / "brush.png");
    TestBundle::writePicture(bundle.shared() / "brush.png", 5, 6, 0, 0, 0);
    TestBundle::writeJunk(bundle.shared() / "junk.png");

    struct Case {
        const char* name;
        int width, height; // 0: no image
    };
    const Case cases[] = {
        {"both.png", 7, 3}, {"paper.jpg", 40, 25}, {"brush.png", 5, 6}, // undecodable in main
        {"junk.png", 0, 0}, {"paper", 0, 0},       {"missing.png", 0, 0}, {"", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const graphics::ImagePtr image = imageNamedAdditional(c.name);
        EXPECT_FALSE(imageio::lastLoadRanOutOfMemory()) << "missing or damaged is not out of memory";
        if (c.width == 0) {
            EXPECT_EQ(image, nullptr);
            continue;
        }
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->width(), c.width);
        EXPECT_EQ(image->height(), c.height);
    }
    const graphics::ImagePtr both = imageNamedAdditional("both.png");
    ASSERT_NE(both, nullptr);
    EXPECT_EQ(both->row(0)[0], 10);
    EXPECT_EQ(both->row(0)[1], 20);
    EXPECT_EQ(both->row(0)[2], 30);

    EXPECT_EQ(imageWithContentsOfFile(""), nullptr);
    EXPECT_EQ(imageWithContentsOfFile((bundle.main() / "nowhere.png").string()), nullptr);
    EXPECT_EQ(imageWithContentsOfFile(bundle.main().string()), nullptr) << "a folder";
}
