// A save that cannot succeed says so and leaves what was on disk as it was.
#include "platform/imageio/Fixtures.h"
#include "platform/imageio/ImageDestination.h"
#include "platform/imageio/TypeIdentifiers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace imageio;

namespace {

size_t entries(const std::filesystem::path& folder) {
    return size_t(std::distance(std::filesystem::directory_iterator(folder), {}));
}

} // namespace

TEST(FailedWrite, UnwritableTypesAndPlacesGiveNoDestination) {
    test::TempFolder folder;
    EXPECT_FALSE(ImageDestination::createWithPath(folder.file("a.psd"), "com.adobe.photoshop-image"));
    EXPECT_FALSE(ImageDestination::createWithPath(folder.file("a.xyz"), "public.nothing"));
    EXPECT_FALSE(ImageDestination::createWithPath(folder.file("missing/a.jpg"), "public.jpeg"));
    EXPECT_FALSE(ImageDestination::createWithPath(folder.path().string(), "public.jpeg"));
}

TEST(FailedWrite, ExistingFileIsUntouchedAndNoTemporaryIsLeft) {
    test::TempFolder folder;
    const std::string path = folder.file("icon.ico");
    const std::vector<char> precious{'k', 'e', 'e', 'p'};
    test::writeBytes(path, precious);
    auto destination = ImageDestination::createWithPath(path, "com.microsoft.ico");
    ASSERT_TRUE(destination);
    destination->addImage(test::patternImage(300, 300, 8, false), {}); // icons stop at 256
    EXPECT_FALSE(destination->finalize());
    EXPECT_EQ(test::readBytes(path), precious);
    EXPECT_EQ(entries(folder.path()), 1u);
}

TEST(FailedWrite, FolderThatRefusesFiles) {
    test::TempFolder folder;
    std::filesystem::create_directory(folder.path() / "locked");
    const std::string path = (folder.path() / "locked" / "photo.jpg").string();
    test::writeBytes(path, {'o', 'l', 'd'});
    chmod((folder.path() / "locked").c_str(), 0555);
    if (access((folder.path() / "locked").c_str(), W_OK) == 0)
        GTEST_SKIP() << "permissions do not bind this user";
    auto destination = ImageDestination::createWithPath(path, "public.jpeg");
    if (destination) {
        destination->addImage(test::patternImage(8, 8, 8, false), {});
        EXPECT_FALSE(destination->finalize());
    }
    EXPECT_EQ(test::readBytes(path), (std::vector<char>{'o', 'l', 'd'}));
}

// A full disk, simulated by a file size limit: the common formats answer false and the old file
// stays.
TEST(FailedWrite, FullDiskIsAnAnswerNotTheEndOfTheProgram) {
    const auto& writable = destinationTypeIdentifiers();
    for (const std::string type : {"public.jpeg", "public.png", "public.tiff", "org.webmproject.webp",
                                   "public.heic", "com.ilm.openexr-image"}) {
        if (std::find(writable.begin(), writable.end(), type) == writable.end()) continue;
        SCOPED_TRACE(type);
        test::TempFolder folder;
        const std::string path = folder.file("photo");
        const std::vector<char> precious{'k', 'e', 'e', 'p'};
        test::writeBytes(path, precious);
        auto destination = ImageDestination::createWithPath(path, type);
        ASSERT_TRUE(destination);
        destination->addImage(test::patternImage(400, 300, 8, false), {{kLossyCompressionQuality, 1.0}});
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved;
        limit.rlim_cur = 256;
        setrlimit(RLIMIT_FSIZE, &limit);
        const bool written = destination->finalize();
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);
        EXPECT_FALSE(written);
        EXPECT_EQ(test::readBytes(path), precious);
        EXPECT_EQ(entries(folder.path()), 1u);
    }
}

TEST(FailedWrite, OneImageOnceOrNothing) {
    test::TempFolder folder;
    const std::string path = folder.file("a.png");
    auto none = ImageDestination::createWithPath(path, "public.png");
    EXPECT_FALSE(none->finalize());
    auto two = ImageDestination::createWithPath(path, "public.png");
    two->addImage(test::patternImage(4, 4, 8, false), {});
    two->addImage(test::patternImage(4, 4, 8, false), {});
    EXPECT_FALSE(two->finalize());
    EXPECT_FALSE(std::filesystem::exists(path));
    auto one = ImageDestination::createWithPath(path, "public.png");
    one->addImage(test::patternImage(4, 4, 8, false), {});
    EXPECT_TRUE(one->finalize());
    EXPECT_FALSE(one->finalize());
}

TEST(FailedWrite, ReplacedFileKeepsItsPermissions) {
    test::TempFolder folder;
    const std::string path = folder.file("a.png");
    test::writeBytes(path, {'x'});
    chmod(path.c_str(), 0640);
    auto destination = ImageDestination::createWithPath(path, "public.png");
    destination->addImage(test::patternImage(4, 4, 8, false), {});
    ASSERT_TRUE(destination->finalize());
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(entries(folder.path()), 1u);
}
