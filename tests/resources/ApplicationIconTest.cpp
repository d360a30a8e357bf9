// The application's icon in the built icon theme beside the bundle, at every size a desktop asks
// for: square at its size, a tile with clear corners and an opaque middle.
#include "platform/foundation/Bundle.h"
#include "platform/imageio/ImageSource.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

uint8_t alphaAt(const graphics::Image& image, int x, int y) {
    const int alpha = image.format().indexOf(graphics::Channel::A);
    return alpha < 0 ? 255 : image.row(y)[size_t(x) * 4 + size_t(alpha)];
}

} // namespace

TEST(ApplicationIcon, EverySizeADesktopAsksForIsInTheIconTheme) {
    const std::filesystem::path theme =
        std::filesystem::path(foundation::Bundle::mainBundle().bundlePath()) / ".." / "icons" / "hicolor";
    for (int pixels : {16, 22, 24, 32, 48, 64, 128, 256, 512}) {
        SCOPED_TRACE(pixels);
        const std::string size = std::to_string(pixels) + "x" + std::to_string(pixels);
        auto source = imageio::ImageSource::createWithPath((theme / size / "apps" / "opalene.png").string());
        ASSERT_TRUE(source);
        const graphics::ImagePtr icon = source->createImage();
        ASSERT_TRUE(icon);
        EXPECT_EQ(icon->width(), pixels);
        EXPECT_EQ(icon->height(), pixels);
        EXPECT_LT(alphaAt(*icon, 0, 0), 64);
        EXPECT_LT(alphaAt(*icon, pixels - 1, pixels - 1), 64);
        EXPECT_EQ(alphaAt(*icon, pixels / 2, pixels / 2), 255);
        EXPECT_EQ(alphaAt(*icon, pixels / 2, pixels / 5), 255); // the tile around the stone
    }
}
