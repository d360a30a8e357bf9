#include "platform/camera/CameraSession.h"

#include "support/FolderCamera.h"

#include <gphoto2/gphoto2-port-result.h>
#include <gphoto2/gphoto2-result.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>

using camera::CameraError;
using camera::CameraFileEntry;
using camera::CameraSession;
namespace fs = std::filesystem;

namespace {

struct OpenFolderCamera : ::testing::Test {
    FolderCamera card;
    std::atomic<bool> cancelled{false};

    std::unique_ptr<CameraSession> open() {
        CameraError error;
        auto session = CameraSession::open(card.description(), &cancelled, &error);
        EXPECT_TRUE(session) << error.localizedDescription;
        return session;
    }

    // Every file of the camera, folder by folder from the root.
    std::vector<CameraFileEntry> listAll(CameraSession& session) {
        std::vector<CameraFileEntry> files;
        std::vector<std::string> folders{"/"};
        while (!folders.empty()) {
            std::string folder = folders.back();
            folders.pop_back();
            CameraError error;
            EXPECT_TRUE(session.listFolder(folder, &files, &folders, &error)) << error.localizedDescription;
        }
        std::sort(files.begin(), files.end(), [](auto& a, auto& b) { return a.name < b.name; });
        return files;
    }
};

} // namespace

TEST(CameraError, BusyPortsGetAHintAndKnownFailuresAPlainSentence) {
    struct Case {
        int result;
        const char* expected;
    };
    const Case cases[] = {
        {GP_ERROR_IO_USB_CLAIM, "in use by another program"},
        {GP_ERROR_IO_LOCK, "in use by another program"},
        {GP_ERROR_CAMERA_BUSY, "in use by another program"},
        {GP_ERROR_FILE_NOT_FOUND, "no longer on the camera"},
        {GP_ERROR_IO_READ, "may no longer be on the camera"},
        {GP_ERROR_NO_SPACE, "not enough space"},
    };
    for (const Case& c : cases) {
        CameraError error = CameraError::fromResult(c.result, "open the camera");
        EXPECT_EQ(error.code, c.result);
        EXPECT_EQ(error.localizedDescription.rfind("Could not open the camera. ", 0), 0u)
            << error.localizedDescription;
        EXPECT_NE(error.localizedDescription.find(c.expected), std::string::npos)
            << error.localizedDescription;
    }
    EXPECT_FALSE(CameraError::isBusyResult(GP_ERROR_IO));
    EXPECT_FALSE(CameraError::fromResult(GP_ERROR_IO, "x").localizedDescription.empty());
}

TEST(CameraSession, NamesFromTheCameraNeverLeaveTheDownloadFolder) {
    struct Case {
        const char* cameraName;
        const char* saved;
    };
    const Case cases[] = {
        {"IMG_0001.JPG", "IMG_0001.JPG"},
        {"../../.profile", ".profile"},
        {"DCIM/a.jpg", "a.jpg"},
        {"..", "download"},
        {"", "download"},
        {"dir/", "download"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CameraSession::safeFileName(c.cameraName), c.saved) << c.cameraName;
}

TEST(CameraSession, AnUnknownModelDoesNotOpen) {
    std::atomic<bool> cancelled{false};
    CameraError error;
    camera::DeviceDescription description{"No Such Camera 9000", "usb:999,999", camera::kDeviceTypeCamera};
    EXPECT_FALSE(CameraSession::open(description, &cancelled, &error));
    EXPECT_NE(error.code, 0);
    EXPECT_FALSE(error.localizedDescription.empty());
}

TEST_F(OpenFolderCamera, ListsEveryFileInEveryFolderWithSizeAndLock) {
    const std::string a = card.addPhoto("IMG_0001.JPG", "TestCam", "T1", "2023:05:17 14:03:21");
    const std::string b = card.addPhoto("DCIM/100TEST/IMG_0002.JPG", "TestCam", "T2", "2024:01:02 03:04:05");
    card.addPhoto("DCIM/101TEST/deeper/IMG_0003.JPG", "Other", "O3", "2022:12:31 23:59:59");
    fs::permissions(b, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    auto session = open();
    ASSERT_TRUE(session);
    auto files = listAll(*session);
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[0].name, "IMG_0001.JPG");
    EXPECT_EQ(files[0].folder, "/");
    EXPECT_EQ(files[1].folder, "/DCIM/100TEST");
    EXPECT_EQ(files[2].folder, "/DCIM/101TEST/deeper");
    EXPECT_EQ(files[0].size, fs::file_size(a));
    EXPECT_FALSE(files[0].locked);
    EXPECT_TRUE(files[1].locked);
    EXPECT_GT(files[0].modificationDate, 0);
}

TEST_F(OpenFolderCamera, DetailsGiveTheExifAndAThumbnail) {
    card.addPhoto("DCIM/IMG_0001.JPG", "TestCam", "T1", "2023:05:17 14:03:21", 200, 320, 200);
    auto session = open();
    ASSERT_TRUE(session);
    auto files = listAll(*session);
    ASSERT_EQ(files.size(), 1u);
    auto details = session->fileDetails(files[0], 160, nullptr);
    ASSERT_TRUE(details);
    EXPECT_EQ(FolderCamera::metadataString(details->metadata, "{TIFF}", "Make"), "TestCam");
    EXPECT_EQ(FolderCamera::metadataString(details->metadata, "{TIFF}", "Model"), "T1");
    EXPECT_EQ(FolderCamera::metadataString(details->metadata, "{Exif}", "DateTimeOriginal"),
              "2023:05:17 14:03:21");
    ASSERT_TRUE(details->thumbnail);
    EXPECT_EQ(details->thumbnail->width(), 160);
    EXPECT_EQ(details->thumbnail->height(), 100);
}

TEST_F(OpenFolderCamera, DownloadsNeverReplaceAFileAndAnswerTheSavedPath) {
    const std::string original = card.addPhoto("DCIM/IMG_0001.JPG", "TestCam", "T1", "2023:05:17 14:03:21");
    const fs::path downloads = card.scratch() / "downloads";
    fs::create_directories(downloads);
    auto session = open();
    ASSERT_TRUE(session);
    auto files = listAll(*session);
    ASSERT_EQ(files.size(), 1u);

    CameraError error;
    auto first = session->downloadFile(files[0], downloads.string(), &error);
    ASSERT_TRUE(first) << error.localizedDescription;
    EXPECT_EQ(fs::path(*first), downloads / "IMG_0001.JPG");
    EXPECT_EQ(FolderCamera::contents(*first), FolderCamera::contents(original));

    auto second = session->downloadFile(files[0], downloads.string(), &error);
    ASSERT_TRUE(second) << error.localizedDescription;
    EXPECT_EQ(fs::path(*second), downloads / "IMG_0001 (2).JPG");
    EXPECT_EQ(FolderCamera::contents(*second), FolderCamera::contents(original));
    EXPECT_EQ(std::distance(fs::directory_iterator(downloads), fs::directory_iterator()), 2);
}

TEST_F(OpenFolderCamera, AFileGoneBeforeItsDownloadFailsClearlyAndLeavesNothing) {
    const std::string original = card.addPhoto("IMG_0001.JPG", "TestCam", "T1", "2023:05:17 14:03:21");
    const fs::path downloads = card.scratch() / "downloads";
    fs::create_directories(downloads);
    auto session = open();
    ASSERT_TRUE(session);
    auto files = listAll(*session);
    ASSERT_EQ(files.size(), 1u);
    fs::remove(original);

    CameraError error;
    EXPECT_FALSE(session->downloadFile(files[0], downloads.string(), &error));
    EXPECT_NE(error.localizedDescription.find("IMG_0001.JPG"), std::string::npos)
        << error.localizedDescription;
    EXPECT_NE(error.localizedDescription.find("no longer be on the camera"), std::string::npos)
        << error.localizedDescription;
    EXPECT_TRUE(fs::is_empty(downloads));

    EXPECT_FALSE(session->downloadFile(files[0], (downloads / "missing").string(), &error));
    EXPECT_NE(error.localizedDescription.find("cannot be written"), std::string::npos)
        << error.localizedDescription;
}
