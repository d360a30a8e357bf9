// Damaged and hostile files: a clear answer with a reason, never a crash, hang or huge
// allocation (these run under the sanitizers).
#include "platform/imageio/Fixtures.h"
#include "platform/imageio/ImageSource.h"

#include <gtest/gtest.h>

#include <random>

using namespace imageio;

namespace {

std::vector<char> text(const std::string& s) {
    return {s.begin(), s.end()};
}

std::vector<char> validFile(const test::TempFolder& folder, const std::string& name) {
    const std::string path = folder.file("valid-" + name);
    test::writeWithOIIO(path, test::pattern(64, 64, 3), 64, 64, 3, OIIO::TypeDesc::UINT8);
    return test::readBytes(path);
}

std::vector<char> firstPart(std::vector<char> bytes, size_t n) {
    bytes.resize(std::min(n, bytes.size()));
    return bytes;
}

// A little-endian RGB TIFF whose header claims w x h pixels in one strip it does not hold.
std::vector<char> claimingTIFF(uint32_t w, uint32_t h, uint16_t bits) {
    std::vector<char> b;
    auto put = [&b](uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            b.push_back(char(v >> (8 * i)));
    };
    b.insert(b.end(), {'I', 'I', 42, 0});
    put(8, 4);
    const uint32_t tags[][3] = {{256, 4, w}, {257, 4, h}, {258, 3, bits},
                                {259, 3, 1}, {262, 3, 2}, {273, 4, 200},
                                {277, 3, 3}, {278, 4, h}, {279, 4, w * h * 3u * (bits / 8u)},
                                {284, 3, 1}};
    put(uint32_t(std::size(tags)), 2);
    for (const auto& t : tags) {
        put(t[0], 2);
        put(t[1], 2);
        put(1, 4);
        put(t[2], 4);
    }
    put(0, 4);
    b.resize(484, 0);
    return b;
}

} // namespace

TEST(BadInput, MissingOrUnreadablePathsGiveNoSource) {
    test::TempFolder folder;
    std::string why;
    EXPECT_FALSE(ImageSource::createWithPath(folder.file("absent.jpg"), &why));
    EXPECT_EQ(why, "The file does not exist.");
    EXPECT_FALSE(ImageSource::createWithPath(folder.path().string(), &why));
    EXPECT_EQ(why, "The path is not a file.");
}

// The file opens but holds no image: a source with no image and a reason.
TEST(BadInput, UndecodableFilesGiveNoImage) {
    test::TempFolder folder;
    std::mt19937 random(7);
    std::vector<char> noise(4096);
    for (char& c : noise)
        c = char(random());
    const struct {
        const char* name;
        std::vector<char> bytes;
        const char* reasonContains;
    } cases[] = {
        {"empty.jpg", {}, ""},
        {"noise.bin", noise, ""},
        {"noise.jpg", noise, ""},
        {"zero.ppm", text("P6\n0 0\n255\n"), ""},
        {"wide.ppm", text("P6\n40000 10\n255\n"), "too large"},
        {"huge.ppm", text("P6\n25000 25000\n255\n"), "too large"},
        {"short.ppm", text("P6\n100 100\n255\nabc"), "damaged"},
        {"claims.ppm", text("P6\n20000 15000\n255\nabc"), "too small"},
        {"claims8.tif", claimingTIFF(30000, 16000, 8), "too small"},
        {"claims16.tif", claimingTIFF(30000, 16000, 16), "too small"},
        {"header.jpg", firstPart(validFile(folder, "a.jpg"), 200), ""},
        {"half.jpg", firstPart(validFile(folder, "b.jpg"), validFile(folder, "c.jpg").size() / 2), "damaged"},
        {"half.png", firstPart(validFile(folder, "d.png"), validFile(folder, "e.png").size() / 2), "damaged"},
        {"half.tif", firstPart(validFile(folder, "f.tif"), validFile(folder, "g.tif").size() / 2), "damaged"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = folder.file(c.name);
        test::writeBytes(path, c.bytes);
        auto source = ImageSource::createWithPath(path);
        ASSERT_TRUE(source) << "an existing file gives a source";
        EXPECT_FALSE(source->createImage());
        EXPECT_FALSE(source->createThumbnail(32));
        EXPECT_FALSE(source->failureReason().empty());
        EXPECT_NE(source->failureReason().find(c.reasonContains), std::string::npos)
            << source->failureReason();
    }
}

// The size check leaves large files that compress well alone.
TEST(BadInput, LargeFlatImageInASmallFileStillReads) {
    test::TempFolder folder;
    const std::string path = folder.file("flat.png");
    const int w = 4800, h = 4000; // above the size that any file may claim
    test::writeWithOIIO(path, std::vector<float>(size_t(w) * h, 0.5f), w, h, 1, OIIO::TypeDesc::UINT8);
    auto source = ImageSource::createWithPath(path);
    graphics::ImagePtr image = source->createImage();
    ASSERT_TRUE(image) << source->failureReason();
    EXPECT_EQ(image->width(), w);
}
