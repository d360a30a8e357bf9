// Damaged and hostile files: a clear answer with a reason, never a crash, hang or huge
// allocation (these run under the sanitizers).
#include "platform/imageio/Fixtures.h"
#include "platform/imageio/ImageSource.h"

#include <gtest/gtest.h>

#include <random>

using namespace imageio;

namespace {

std::vector<char> text(const std::string& s) { return {s.begin(), s.end()}; }

std::vector<char> validFile(const test::TempFolder& folder, const std::string& name) {
    const std::string path = folder.file("valid-" + name);
    test::writeWithOIIO(path, test::pattern(64, 64, 3), 64, 64, 3, OIIO::TypeDesc::UINT8);
    return test::readBytes(path);
}

std::vector<char> firstPart(std::vector<char> bytes, size_t n) {
    bytes.resize(std::min(n, bytes.size()));
    return bytes;
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
    for (char& c : noise) c = char(random());
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
        EXPECT_NE(source->failureReason().find(c.reasonContains), std::string::npos) << source->failureReason();
    }
}
