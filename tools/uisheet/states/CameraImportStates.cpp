// Camera import: the window listing a folder served as a camera, filled with crops of the photo.
#include "UiSheetRegistry.h"
#include "app/KXCameraBrowserWindowController.h"
#include "app/MediaFilesTableModel.h"
#include "controls/ImageAdditional.h"
#include "platform/camera/CameraLibrary.h"
#include "platform/imageio/ImageDestination.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTableView>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <thread>

namespace fs = std::filesystem;

namespace {

struct CameraImportHost : QWidget {
    fs::path folder;
    std::unique_ptr<KXCameraBrowserWindowController> controller;
    ~CameraImportHost() override {
        controller.reset();
        std::error_code error;
        fs::remove_all(folder, error);
    }
};

void waitFor(const std::function<bool()>& done, double seconds = 10) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < seconds * 1000) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

// A card of three photos: crops of the sheet's photo with a maker, model and date each.
fs::path makeCard(const QImage& photo) {
    std::string pattern = (fs::temp_directory_path() / "opalene-uisheet-card-XXXXXX").string();
    if (!mkdtemp(pattern.data())) return {};
    const fs::path card = pattern;
    struct Shot {
        const char* path;
        const char* make;
        const char* model;
        const char* date;
        QRectF crop;
    };
    const Shot shots[] = {
        {"DCIM/100OPAL/IMG_0101.JPG", "Opalene Optics", "Model 7", "2023:05:17 14:03:21", {0, 0, 1, 1}},
        {"DCIM/100OPAL/IMG_0102.JPG",
         "Opalene Optics",
         "Model 7",
         "2023:05:17 14:05:02",
         {0.25, 0.05, 0.5, 0.5}},
        {"DCIM/101OPAL/IMG_0203.JPG", "Northwind", "NW-2", "2024:01:02 09:41:00", {0.4, 0.5, 0.6, 0.5}},
    };
    for (const Shot& shot : shots) {
        const QRect crop(int(shot.crop.x() * photo.width()), int(shot.crop.y() * photo.height()),
                         int(shot.crop.width() * photo.width()), int(shot.crop.height() * photo.height()));
        const QImage picture =
            photo.copy(crop).scaled(320, 320, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        fs::create_directories((card / shot.path).parent_path());
        using foundation::Dictionary;
        using foundation::Value;
        auto destination =
            imageio::ImageDestination::createWithPath((card / shot.path).string(), "public.jpeg");
        if (!destination) continue;
        destination->addImage(
            ImageAdditional::fromQImage(picture),
            Dictionary{
                {"{TIFF}", Value(Dictionary{{"Make", Value(shot.make)}, {"Model", Value(shot.model)}})},
                {"{Exif}", Value(Dictionary{{"DateTimeOriginal", Value(shot.date)}})}});
        destination->finalize();
    }
    return card;
}

std::unique_ptr<QWidget> cameraImport(const QImage& photo, bool withCamera) {
    auto host = std::make_unique<CameraImportHost>();
    host->folder = makeCard(photo);
    const auto description =
        camera::CameraLibrary::shared().describeDevice("Directory Browse", "disk:" + host->folder.string());
    host->controller = std::make_unique<KXCameraBrowserWindowController>(
        [description, withCamera]() -> std::optional<std::vector<camera::DeviceDescription>> {
            std::vector<camera::DeviceDescription> devices;
            if (withCamera && description) devices.push_back(*description);
            return devices;
        });
    QDialog* window = host->controller->window();
    host->resize(window->size());
    window->setParent(host.get(), Qt::Widget);
    window->move(0, 0);
    window->show();
    return host;
}

void listCard(QWidget& widget, int selectedRow) {
    auto& host = static_cast<CameraImportHost&>(widget);
    KXCameraBrowserWindowController& controller = *host.controller;
    waitFor([&] { return controller.cameras().size() == 1; });
    if (controller.cameras().empty()) return;
    controller.camerasTableView()->selectRow(0);
    controller.openCamera();
    MediaFilesTableModel* files = controller.mediaFilesController();
    waitFor([&] { return files->rowCount() == 3; });
    widget.grab(); // drawing the rows starts their reads
    waitFor([&] {
        for (const auto& file : files->files()) {
            if (!file->hasDetails()) return false;
        }
        return true;
    });
    if (selectedRow >= 0) controller.cameraContentTableView()->selectRow(selectedRow);
}

} // namespace

OPALENE_UISHEET_STATE(
    "camera_import_no_camera", [](const QImage& photo) { return cameraImport(photo, false); },
    [](QWidget&) { waitFor([] { return false; }, 0.1); });
OPALENE_UISHEET_STATE(
    "camera_import_folder_camera", [](const QImage& photo) { return cameraImport(photo, true); },
    [](QWidget& widget) { listCard(widget, -1); });
OPALENE_UISHEET_STATE(
    "camera_import_file_selected", [](const QImage& photo) { return cameraImport(photo, true); },
    [](QWidget& widget) { listCard(widget, 1); });
