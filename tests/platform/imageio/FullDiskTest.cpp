// A disk that fills up during a save: the save says it failed, the file that was there stays as it
// was, nothing is left beside it and the program goes on. The disk is made full by a file size
// limit, which needs no privileges.
#include "platform/imageio/Fixtures.h"
#include "platform/imageio/ImageDestination.h"
#include "platform/imageio/ImageSource.h"
#include "platform/imageio/TypeIdentifiers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <random>
#include <set>
#include <thread>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace imageio;

namespace {

// Noise, so that no format compresses the file to a few bytes.
graphics::ImagePtr noiseImage(int w, int h) {
    std::mt19937 random(3);
    std::vector<uint8_t> pixels(size_t(w) * h * 4);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = i % 4 == 3 ? 255 : uint8_t(random());
    graphics::PixelFormat format;
    format.order[3] = graphics::Channel::X;
    return graphics::Image::copy(pixels.data(), w, h, size_t(w) * 4, format);
}

bool save(const std::string& path, const std::string& type, const graphics::ImagePtr& image) {
    auto destination = ImageDestination::createWithPath(path, type);
    if (!destination) return false;
    destination->addImage(image, {});
    return destination->finalize();
}

// How a save ended while files may not grow past `limit` bytes. The limit binds the whole
// process, so it is lifted again at once; a save that ends the process fails the test with it.
testing::AssertionResult saveEndsAsFailure(const std::string& path, const std::string& type,
                                           const graphics::ImagePtr& image, rlim_t limit) {
    rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limited = saved;
    limited.rlim_cur = limit;
    auto* previous = signal(SIGXFSZ, SIG_IGN); // a write past the limit then fails as on a full disk
    setrlimit(RLIMIT_FSIZE, &limited);
    const bool reported = save(path, type, image);
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, previous);
    if (reported) return testing::AssertionFailure() << "the save reported success";
    return testing::AssertionSuccess();
}

constexpr const char* kSaveForever = "OPALENE_TEST_SAVE_FOREVER";

size_t entries(const std::filesystem::path& folder) {
    return size_t(std::distance(std::filesystem::directory_iterator(folder), {}));
}

} // namespace

TEST(FullDisk, EveryWritableFormatKeepsTheOldFileAndReportsFailure) {
    const graphics::ImagePtr image = noiseImage(160, 120);
    const std::vector<char> old{'o', 'l', 'd'};
    for (const std::string& type : destinationTypeIdentifiers()) {
        SCOPED_TRACE(type);
        test::TempFolder folder;
        const std::string name = "photo." + extensionsForType(type).front();
        // The same save with room to spare succeeds: a failure below comes from the full disk.
        const std::string roomy = folder.file("roomy-" + name);
        ASSERT_TRUE(save(roomy, type, image));
        ASSERT_TRUE(ImageSource::createWithPath(roomy)->createImage());
        const rlim_t size = rlim_t(std::filesystem::file_size(roomy));
        std::filesystem::remove(roomy);

        const std::string path = folder.file(name);
        for (rlim_t limit : {rlim_t(0), rlim_t(old.size() + 1), size / 2, size - 1}) {
            SCOPED_TRACE("room for " + std::to_string(limit) + " of " + std::to_string(size) + " bytes");
            test::writeBytes(path, old);
            EXPECT_TRUE(saveEndsAsFailure(path, type, image, limit));
            EXPECT_EQ(test::readBytes(path), old);
            EXPECT_EQ(entries(folder.path()), 1u) << "a temporary was left";
        }
    }
}

// Saves killed while writing leave temporaries; the next save of that file removes them, and
// only them.
TEST(FullDisk, NextSaveRemovesTemporariesOfKilledSaves) {
    test::TempFolder folder;
    const std::string path = folder.file("photo.tiff");
    const std::vector<std::string> others = {".other-abc123.tiff", ".photo-abc123.png", ".photo-abc12.tiff",
                                             "photo-abc123.tiff"};
    for (const std::string& other : others)
        test::writeBytes(folder.file(other), {'x'});
    std::set<std::string> seen(others.begin(), others.end());
    for (int attempt = 0; attempt < 4; ++attempt) {
        // A fresh process: a forked copy would lack the writers' worker threads.
        const pid_t child = fork();
        if (child == 0) {
            setenv(kSaveForever, path.c_str(), 1);
            execl("/proc/self/exe", "test_imageio", "--gtest_filter=FullDisk.SavesUntilKilled", nullptr);
            _exit(127);
        }
        ASSERT_GT(child, 0);
        // Killed once a temporary it made is there.
        bool found = false;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!found && std::chrono::steady_clock::now() < deadline) {
            for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
                const std::string name = entry.path().filename().string();
                if (name.rfind(".photo-", 0) == 0 && seen.insert(name).second) found = true;
            }
            if (!found) std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        ASSERT_TRUE(found);
    }
    size_t leftovers = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
        leftovers +=
            entry.path().filename().string().rfind(".photo-", 0) == 0 &&
            std::find(others.begin(), others.end(), entry.path().filename().string()) == others.end();
    ASSERT_GT(leftovers, 0u) << "no temporary outlived its save";

    ASSERT_TRUE(save(path, "public.tiff", noiseImage(8, 8)));
    EXPECT_EQ(entries(folder.path()), others.size() + 1);
    for (const std::string& other : others)
        EXPECT_TRUE(std::filesystem::exists(folder.file(other))) << other;
    EXPECT_EQ(ImageSource::createWithPath(path)->createImage()->width(), 8);
}

// The saving process of the test above.
TEST(FullDisk, SavesUntilKilled) {
    const char* path = getenv(kSaveForever);
    if (!path) GTEST_SKIP() << "runs as the process that NextSaveRemovesTemporariesOfKilledSaves kills";
    const graphics::ImagePtr image = noiseImage(2000, 1500);
    for (;;)
        ASSERT_TRUE(save(path, "public.tiff", image));
}
