#include "app/KXCameraBrowserWindowController.h"

#include "app/MediaFilesTableModel.h"
#include "support/FolderCamera.h"
#include "support/UiApplication.h"

#include <QAbstractButton>
#include <QDialog>
#include <QIcon>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

struct OpeningDelegate : KXWindowControllerDelegate {
    bool responds = true;
    std::vector<std::string> opened;
    std::vector<QObject*> senders;
    void openImageWithUrl(const std::string& path, QObject* controller) override {
        opened.push_back(path);
        senders.push_back(controller);
    }
    bool respondsToOpenImageWithUrl() const override { return responds; }
};

void click(QTableView* table, int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier, bool twice = false) {
    const int column = std::min(1, table->model()->columnCount() - 1);
    const QPoint at = table->visualRect(table->model()->index(row, column)).center();
    QWidget* viewport = table->viewport();
    QMouseEvent press(QEvent::MouseButtonPress, at, viewport->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      modifiers);
    QMouseEvent release(QEvent::MouseButtonRelease, at, viewport->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, modifiers);
    QApplication::sendEvent(viewport, &press);
    QApplication::sendEvent(viewport, &release);
    if (twice) {
        QMouseEvent doubleClick(QEvent::MouseButtonDblClick, at, viewport->mapToGlobal(at), Qt::LeftButton,
                                Qt::LeftButton, modifiers);
        QApplication::sendEvent(viewport, &doubleClick);
        QApplication::sendEvent(viewport, &release);
    }
}

struct CameraImport : ::testing::Test {
    QApplication& app = uiApplication();
    FolderCamera card;
    std::string first =
        card.addPhoto("DCIM/100TEST/IMG_0001.JPG", "TestCam", "T1", "2023:05:17 14:03:21", 220);
    std::string second =
        card.addPhoto("DCIM/101TEST/IMG_0002.JPG", "TestCam", "T2", "2024:01:02 03:04:05", 30);
    camera::DeviceDescription description = card.description();
    fs::path downloads = card.scratch() / "downloads";
    OpeningDelegate delegate;
    std::unique_ptr<KXCameraBrowserWindowController> controller;

    CameraImport() {
        fs::create_directories(downloads);
        const fs::path root = card.root();
        controller = std::make_unique<KXCameraBrowserWindowController>(
            [root, d = description]() -> std::optional<std::vector<camera::DeviceDescription>> {
                if (fs::exists(root)) return std::vector<camera::DeviceDescription>{d};
                return std::vector<camera::DeviceDescription>{};
            });
        controller->setDelegate(&delegate);
        controller->setDownloadsDirectory(downloads.string());
    }

    // Shows the window, picks the folder camera and waits for its whole listing.
    void showCameraFiles(int expected = 2) {
        controller->window()->show();
        ASSERT_TRUE(pumpEventsUntil([&] { return controller->cameras().size() == 1; }));
        click(controller->camerasTableView(), 0);
        ASSERT_EQ(controller->selectedCamera(), controller->cameras()[0]);
        ASSERT_TRUE(
            pumpEventsUntil([&] { return controller->mediaFilesController()->rowCount() == expected; }));
    }

    std::string cell(int row, MediaFilesTableModel::Column column) {
        auto* model = controller->mediaFilesController();
        return model->data(model->index(row, column), Qt::DisplayRole).toString().toStdString();
    }
};

} // namespace

TEST_F(CameraImport, ListsTheFolderCameraAndItsFilesWithDateMakeModelAndThumbnails) {
    showCameraFiles();
    auto* model = controller->mediaFilesController();
    EXPECT_EQ(
        model->headerData(MediaFilesTableModel::kDateColumn, Qt::Horizontal, Qt::DisplayRole).toString(),
        "Date");
    EXPECT_EQ(
        model->headerData(MediaFilesTableModel::kMakeColumn, Qt::Horizontal, Qt::DisplayRole).toString(),
        "Make");
    EXPECT_EQ(
        model->headerData(MediaFilesTableModel::kModelColumn, Qt::Horizontal, Qt::DisplayRole).toString(),
        "Model");
    // Reading starts when the rows are drawn.
    controller->window()->grab();
    ASSERT_TRUE(
        pumpEventsUntil([&] { return model->files()[0]->hasDetails() && model->files()[1]->hasDetails(); }));
    EXPECT_EQ(cell(0, MediaFilesTableModel::kDateColumn), "2023:05:17 14:03:21");
    EXPECT_EQ(cell(0, MediaFilesTableModel::kMakeColumn), "TestCam");
    EXPECT_EQ(cell(1, MediaFilesTableModel::kModelColumn), "T2");
    const QVariant thumbnail =
        model->data(model->index(0, MediaFilesTableModel::kThumbnailColumn), Qt::DecorationRole);
    ASSERT_TRUE(thumbnail.canConvert<QIcon>());
    EXPECT_EQ(thumbnail.value<QIcon>().availableSizes(), QList<QSize>{QSize(48, 32)});

    // The first row's thumbnail is drawn: its red shows in the thumbnail column.
    QTableView* table = controller->cameraContentTableView();
    const QImage shot = table->viewport()->grab().toImage();
    const QRect cellRect = table->visualRect(model->index(0, MediaFilesTableModel::kThumbnailColumn));
    const QColor centre = shot.pixelColor(cellRect.center() * shot.devicePixelRatio());
    EXPECT_GT(centre.red(), 180);
    EXPECT_LT(centre.blue(), 80);
}

TEST_F(CameraImport, WithNothingSelectedImportDoesNothing) {
    showCameraFiles();
    EXPECT_FALSE(controller->canDownload());
    EXPECT_FALSE(controller->importButton()->isEnabled());
    controller->importButtonClick();
    controller->cameraContentTableViewDoubleClick(controller->cameraContentTableView());
    pumpEventsUntil([] { return false; }, 0.2);
    EXPECT_TRUE(delegate.opened.empty());
    EXPECT_TRUE(fs::is_empty(downloads));
    EXPECT_TRUE(controller->window()->isVisible());
}

TEST_F(CameraImport, ImportDownloadsOpensTheSavedFileAndEndsTheModalRun) {
    QTimer::singleShot(0, [&] {
        showCameraFiles();
        click(controller->cameraContentTableView(), 0);
        EXPECT_TRUE(controller->importButton()->isEnabled());
        controller->importButton()->click();
    });
    QTimer::singleShot(15000, controller->window(), [&] { controller->window()->done(QDialog::Accepted); });
    EXPECT_EQ(controller->window()->exec(), QDialog::Rejected); // closed by the import, not the guard
    ASSERT_EQ(delegate.opened.size(), 1u);
    EXPECT_EQ(fs::path(delegate.opened[0]), downloads / "IMG_0001.JPG");
    EXPECT_EQ(delegate.senders[0], controller.get());
    EXPECT_EQ(FolderCamera::contents(delegate.opened[0]), FolderCamera::contents(first));
    EXPECT_FALSE(controller->window()->isVisible());
}

TEST_F(CameraImport, AnOlderFileOfTheSameNameIsKeptAndTheNewOneOpened) {
    {
        std::ofstream older(downloads / "IMG_0001.JPG");
        older << "an older download";
    }
    showCameraFiles();
    click(controller->cameraContentTableView(), 0, Qt::NoModifier, true); // double click imports
    ASSERT_TRUE(pumpEventsUntil([&] { return !delegate.opened.empty(); }));
    EXPECT_EQ(fs::path(delegate.opened[0]), downloads / "IMG_0001 (2).JPG");
    EXPECT_EQ(FolderCamera::contents(delegate.opened[0]), FolderCamera::contents(first));
    EXPECT_EQ(FolderCamera::contents((downloads / "IMG_0001.JPG").string()), "an older download");
}

TEST_F(CameraImport, ALockedFileCanBeDownloadedButNotDeleted) {
    fs::permissions(first, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    showCameraFiles();
    click(controller->cameraContentTableView(), 0);
    EXPECT_TRUE(controller->canDownload());
    EXPECT_FALSE(controller->canDelete());
    click(controller->cameraContentTableView(), 1, Qt::ControlModifier);
    EXPECT_EQ(controller->selectedFiles().size(), 2u);
    EXPECT_TRUE(controller->canDelete());
    // A double click reported by another table imports nothing.
    controller->cameraContentTableViewDoubleClick(controller->camerasTableView());
    pumpEventsUntil([] { return false; }, 0.2);
    EXPECT_TRUE(fs::is_empty(downloads));
    EXPECT_TRUE(delegate.opened.empty());
}

TEST_F(CameraImport, SeveralFilesAreAllDownloadedAndOnlyTheFirstOpened) {
    showCameraFiles();
    click(controller->cameraContentTableView(), 0);
    click(controller->cameraContentTableView(), 1, Qt::ShiftModifier);
    controller->importButtonClick();
    ASSERT_TRUE(pumpEventsUntil([&] { return fs::exists(downloads / "IMG_0002.JPG"); }));
    pumpEventsUntil([] { return false; }, 0.2);
    ASSERT_EQ(delegate.opened.size(), 1u);
    EXPECT_EQ(fs::path(delegate.opened[0]), downloads / "IMG_0001.JPG");
    EXPECT_EQ(FolderCamera::contents((downloads / "IMG_0002.JPG").string()), FolderCamera::contents(second));
}

TEST_F(CameraImport, AFailedDownloadShowsTheErrorKeepsTheWindowAndOpensNothing) {
    showCameraFiles();
    fs::remove(first);
    click(controller->cameraContentTableView(), 0);
    controller->importButtonClick();
    ASSERT_TRUE(pumpEventsUntil([&] { return controller->errorAlert() != nullptr; }));
    QMessageBox* alert = controller->errorAlert();
    EXPECT_NE(alert->text().indexOf("IMG_0001.JPG"), -1) << alert->text().toStdString();
    ASSERT_EQ(alert->buttons().size(), 1);
    EXPECT_EQ(alert->buttons()[0]->text(), "OK");
    EXPECT_EQ(alert->windowModality(), Qt::WindowModal);
    EXPECT_TRUE(controller->window()->isVisible());
    EXPECT_TRUE(delegate.opened.empty());
    EXPECT_TRUE(fs::is_empty(downloads));
}

TEST_F(CameraImport, ADelegateThatCannotOpenGetsNothingAndTheWindowStays) {
    delegate.responds = false;
    showCameraFiles();
    click(controller->cameraContentTableView(), 0);
    controller->importButtonClick();
    ASSERT_TRUE(pumpEventsUntil([&] { return fs::exists(downloads / "IMG_0001.JPG"); }));
    pumpEventsUntil([] { return false; }, 0.1);
    EXPECT_TRUE(delegate.opened.empty());
    EXPECT_TRUE(controller->window()->isVisible());
}

TEST_F(CameraImport, TheCameraLeavesAndReturnsWithItsCard) {
    showCameraFiles();
    const fs::path away = card.scratch() / "unplugged";
    fs::rename(card.root(), away);
    ASSERT_TRUE(pumpEventsUntil([&] { return controller->cameras().empty(); }));
    EXPECT_EQ(controller->camerasTableView()->model()->rowCount(), 0);
    EXPECT_EQ(controller->mediaFilesController()->rowCount(), 0);
    EXPECT_FALSE(controller->selectedCamera());
    fs::rename(away, card.root());
    ASSERT_TRUE(pumpEventsUntil([&] { return controller->cameras().size() == 1; }));
}

TEST_F(CameraImport, ACameraThatCannotBeOpenedShowsAnError) {
    controller = std::make_unique<KXCameraBrowserWindowController>(
        []() -> std::optional<std::vector<camera::DeviceDescription>> {
            return std::vector<camera::DeviceDescription>{
                {"No Such Camera 9000", "usb:999,999",
                 camera::kDeviceTypeCamera | camera::kDeviceLocationTypeLocal, 0},
                {"Music Player", "usb:999,998", camera::kDeviceLocationTypeLocal, 0}};
        });
    controller->window()->show();
    ASSERT_TRUE(pumpEventsUntil([&] { return controller->cameras().size() == 1; }));
    pumpEventsUntil([] { return false; }, 0.1);
    EXPECT_EQ(controller->cameras().size(), 1u); // the player is no camera
    click(controller->camerasTableView(), 0);
    ASSERT_TRUE(pumpEventsUntil([&] { return controller->errorAlert() != nullptr; }));
    EXPECT_FALSE(controller->errorAlert()->text().isEmpty());
    EXPECT_TRUE(controller->window()->isVisible());
}
