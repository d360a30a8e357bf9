#include "platform/camera/CameraDevice.h"
#include "platform/camera/DeviceBrowser.h"

#include "support/FolderCamera.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <algorithm>
#include <filesystem>
#include <mutex>

using camera::CameraDevice;
using camera::CameraError;
using camera::CameraFile;
using camera::DeviceBrowser;
using camera::DeviceDescription;
namespace fs = std::filesystem;

namespace {

QCoreApplication& coreApplication() {
    static int argc = 1;
    static char name[] = "opalene-tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app =
        QCoreApplication::instance() ? QCoreApplication::instance() : new QCoreApplication(argc, argv);
    return *app;
}

struct RecordingDelegate : camera::CameraDeviceDelegate, camera::DeviceBrowserDelegate {
    std::vector<std::string> errors;
    std::vector<std::string> added; // file names in the order they came
    std::vector<std::shared_ptr<CameraFile>> thumbnails;
    int ready = 0, opened = 0, removedDevices = 0;
    std::vector<std::shared_ptr<CameraDevice>> browsed;
    std::vector<bool> moreComing;

    void didEncounterError(CameraDevice*, const CameraError& error) override {
        errors.push_back(error.localizedDescription);
    }
    void didOpenSessionWithError(CameraDevice*, const std::optional<CameraError>& error) override {
        if (!error) ++opened;
    }
    void deviceDidBecomeReady(CameraDevice*) override { ++ready; }
    void didAddItems(CameraDevice*, const std::vector<std::shared_ptr<CameraFile>>& items) override {
        for (auto& item : items)
            added.push_back(item->name());
    }
    void didReceiveThumbnailForItem(CameraDevice*, const std::shared_ptr<CameraFile>& item) override {
        thumbnails.push_back(item);
    }
    void didRemoveDevice(CameraDevice*) override { ++removedDevices; }

    void didAddDevice(DeviceBrowser*, const std::shared_ptr<CameraDevice>& device, bool more) override {
        browsed.push_back(device);
        moreComing.push_back(more);
    }
    void didRemoveDevice(DeviceBrowser*, const std::shared_ptr<CameraDevice>& device, bool) override {
        std::erase(browsed, device);
    }
};

// A detector whose answer the test sets, as a fake of the library's detection.
struct FakeDetector {
    std::mutex mutex;
    std::vector<DeviceDescription> devices;
    int scans = 0;
    DeviceBrowser::Detector detector() {
        return [this]() -> std::optional<std::vector<DeviceDescription>> {
            std::lock_guard lock(mutex);
            ++scans;
            return devices;
        };
    }
    void set(std::vector<DeviceDescription> now) {
        std::lock_guard lock(mutex);
        devices = std::move(now);
    }
};

DeviceDescription someDevice(std::string model, std::string port, uint32_t type) {
    return DeviceDescription{std::move(model), std::move(port), type, 0};
}

} // namespace

TEST(CameraDevice, OpeningListsEveryFileThenThumbnailsComeWhenAsked) {
    coreApplication();
    FolderCamera card;
    card.addPhoto("IMG_0001.JPG", "TestCam", "T1", "2023:05:17 14:03:21");
    card.addPhoto("DCIM/100TEST/IMG_0002.JPG", "TestCam", "T2", "2024:01:02 03:04:05");
    RecordingDelegate delegate;
    CameraDevice device(card.description());
    device.setDelegate(&delegate);
    EXPECT_TRUE(device.type() & camera::kDeviceTypeCamera);
    device.requestOpenSession();
    device.requestOpenSession(); // a second ask while opening changes nothing
    ASSERT_TRUE(pumpEventsUntil([&] { return delegate.ready == 1; }));
    EXPECT_EQ(delegate.opened, 1);
    EXPECT_TRUE(device.hasOpenSession());
    EXPECT_TRUE(delegate.errors.empty());
    EXPECT_EQ(delegate.added, (std::vector<std::string>{"IMG_0001.JPG", "IMG_0002.JPG"}));
    ASSERT_EQ(device.mediaFiles().size(), 2u);

    auto file = device.mediaFiles()[1];
    EXPECT_EQ(file->folder(), "/DCIM/100TEST");
    EXPECT_FALSE(file->thumbnailIfAvailable()); // not read yet: the ask starts the read
    EXPECT_TRUE(file->metadataIfAvailable().empty());
    ASSERT_TRUE(pumpEventsUntil([&] { return !delegate.thumbnails.empty(); }));
    EXPECT_EQ(delegate.thumbnails.size(), 1u); // asked twice, read once
    EXPECT_EQ(delegate.thumbnails[0], file);
    EXPECT_TRUE(file->hasDetails());
    EXPECT_TRUE(file->thumbnailIfAvailable());
    EXPECT_EQ(FolderCamera::metadataString(file->metadataIfAvailable(), "{TIFF}", "Model"), "T2");
}

TEST(CameraDevice, DownloadCompletionNamesTheSavedFileOrTheError) {
    coreApplication();
    FolderCamera card;
    const std::string original = card.addPhoto("IMG_0001.JPG", "TestCam", "T1", "2023:05:17 14:03:21");
    card.addPhoto("IMG_0002.JPG", "TestCam", "T1", "2023:05:17 14:03:22");
    RecordingDelegate delegate;
    CameraDevice device(card.description());
    device.setDelegate(&delegate);
    device.requestOpenSession();
    ASSERT_TRUE(pumpEventsUntil([&] { return delegate.ready == 1; }));
    ASSERT_EQ(device.mediaFiles().size(), 2u);
    fs::create_directories(card.scratch() / "out");
    fs::remove(card.root() / "IMG_0002.JPG");

    struct Done {
        std::shared_ptr<CameraFile> file;
        std::optional<CameraError> error;
        CameraDevice::DownloadOptions options;
    };
    std::vector<Done> done;
    for (auto& file : device.mediaFiles()) {
        device.requestDownloadFile(file, {(card.scratch() / "out").string(), {}},
                                   [&](auto& f, auto& error, auto& options) {
                                       done.push_back({f, error, options});
                                   });
    }
    ASSERT_TRUE(pumpEventsUntil([&] { return done.size() == 2; }));
    EXPECT_EQ(done[0].file, device.mediaFiles()[0]);
    EXPECT_FALSE(done[0].error);
    EXPECT_EQ(done[0].options.savedFilename, "IMG_0001.JPG");
    EXPECT_EQ(FolderCamera::contents((card.scratch() / "out" / "IMG_0001.JPG").string()),
              FolderCamera::contents(original));
    ASSERT_TRUE(done[1].error);
    EXPECT_TRUE(done[1].options.savedFilename.empty());
    EXPECT_NE(done[1].error->localizedDescription.find("no longer be on the camera"), std::string::npos)
        << done[1].error->localizedDescription;
}

TEST(CameraDevice, AModelTheLibraryCannotOpenReportsAnError) {
    coreApplication();
    RecordingDelegate delegate;
    CameraDevice device(someDevice("No Such Camera 9000", "usb:999,999", camera::kDeviceTypeCamera));
    device.setDelegate(&delegate);
    device.requestOpenSession();
    ASSERT_TRUE(pumpEventsUntil([&] { return !delegate.errors.empty(); }));
    EXPECT_FALSE(device.hasOpenSession());
    EXPECT_EQ(delegate.opened, 0);
    EXPECT_EQ(delegate.ready, 0);
}

TEST(CameraDevice, DroppingADeviceWithWorkQueuedDeliversNothingLater) {
    coreApplication();
    FolderCamera card;
    for (int i = 0; i < 6; ++i)
        card.addPhoto("IMG_000" + std::to_string(i) + ".JPG", "TestCam", "T", "2023:05:17 14:03:21");
    RecordingDelegate delegate;
    {
        CameraDevice device(card.description());
        device.setDelegate(&delegate);
        device.requestOpenSession();
    }
    QCoreApplication::processEvents();
    pumpEventsUntil([] { return false; }, 0.2);
    EXPECT_EQ(delegate.ready, 0);
    EXPECT_TRUE(delegate.added.empty());
}

TEST(DeviceBrowser, ReportsOnlyCamerasAndFollowsThemInAndOut) {
    coreApplication();
    FakeDetector fake;
    RecordingDelegate delegate;
    DeviceBrowser browser(fake.detector());
    browser.setDelegate(&delegate);
    browser.setBrowsedDeviceTypeMask(0xFF01);
    browser.setPollInterval(0.01);
    const auto cameraA =
        someDevice("Camera A", "usb:001,002", camera::kDeviceTypeCamera | camera::kDeviceLocationTypeLocal);
    const auto cameraB =
        someDevice("Camera B", "usb:001,003", camera::kDeviceTypeCamera | camera::kDeviceLocationTypeLocal);
    const auto player = someDevice("Music Player", "usb:001,004", camera::kDeviceLocationTypeLocal);
    const auto scanner =
        someDevice("Scanner", "usb:001,005", camera::kDeviceTypeScanner | camera::kDeviceLocationTypeLocal);
    fake.set({cameraA, player, scanner, cameraB});
    browser.start();
    ASSERT_TRUE(pumpEventsUntil([&] { return delegate.browsed.size() == 2; }));
    EXPECT_EQ(delegate.browsed[0]->name(), "Camera A");
    EXPECT_EQ(delegate.browsed[1]->name(), "Camera B");
    EXPECT_EQ(delegate.moreComing, (std::vector<bool>{true, false}));
    pumpEventsUntil([&] { return fake.scans > 5; });
    EXPECT_EQ(browser.devices().size(), 2u); // later scans of the same devices add nothing

    auto removed = delegate.browsed[0];
    removed->setDelegate(&delegate);
    fake.set({player, cameraB});
    ASSERT_TRUE(pumpEventsUntil([&] { return delegate.browsed.size() == 1; }));
    EXPECT_EQ(delegate.browsed[0]->name(), "Camera B");
    EXPECT_EQ(delegate.removedDevices, 1); // the device's own delegate hears it too
    EXPECT_TRUE(removed->wasRemoved());
    browser.stop();
    EXPECT_FALSE(browser.isBrowsing());
}

TEST(DeviceBrowser, AFailedScanKeepsTheDevicesAndAScannerMaskSeesNoCamera) {
    coreApplication();
    std::atomic<int> scans{0};
    const auto cameraA =
        someDevice("Camera A", "usb:001,002", camera::kDeviceTypeCamera | camera::kDeviceLocationTypeLocal);
    DeviceBrowser browser([&]() -> std::optional<std::vector<DeviceDescription>> {
        if (++scans == 1) return std::vector<DeviceDescription>{cameraA};
        return std::nullopt;
    });
    RecordingDelegate delegate;
    browser.setDelegate(&delegate);
    browser.setPollInterval(0.01);
    browser.start();
    ASSERT_TRUE(pumpEventsUntil([&] { return scans > 5; }));
    pumpEventsUntil([] { return false; }, 0.05);
    EXPECT_EQ(delegate.browsed.size(), 1u);
    browser.stop();

    DeviceBrowser scanners([&]() -> std::optional<std::vector<DeviceDescription>> {
        return std::vector<DeviceDescription>{cameraA};
    });
    RecordingDelegate scannerDelegate;
    scanners.setDelegate(&scannerDelegate);
    scanners.setBrowsedDeviceTypeMask(camera::kDeviceTypeScanner | camera::kDeviceLocationTypeMask);
    scanners.start();
    pumpEventsUntil([] { return false; }, 0.1);
    EXPECT_TRUE(scannerDelegate.browsed.empty());
}

TEST(DeviceBrowser, AFolderCameraAppearingAndDisappearingIsFollowed) {
    coreApplication();
    FolderCamera card;
    card.addPhoto("IMG_0001.JPG", "TestCam", "T1", "2023:05:17 14:03:21");
    const auto description = card.description();
    const fs::path root = card.root();
    const fs::path away = card.scratch() / "unplugged";
    fs::rename(root, away);
    // The folder stands for a card: present while its folder exists.
    DeviceBrowser browser([&]() -> std::optional<std::vector<DeviceDescription>> {
        if (fs::exists(root)) return std::vector<DeviceDescription>{description};
        return std::vector<DeviceDescription>{};
    });
    RecordingDelegate delegate;
    browser.setDelegate(&delegate);
    browser.setPollInterval(0.01);
    browser.start();
    pumpEventsUntil([] { return false; }, 0.05);
    EXPECT_TRUE(delegate.browsed.empty());
    fs::rename(away, root);
    ASSERT_TRUE(pumpEventsUntil([&] { return delegate.browsed.size() == 1; }));
    EXPECT_EQ(delegate.browsed[0]->name(), "Directory Browse");
    fs::rename(root, away);
    ASSERT_TRUE(pumpEventsUntil([&] { return delegate.browsed.empty(); }));
}
