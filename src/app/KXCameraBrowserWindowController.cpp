#include "app/KXCameraBrowserWindowController.h"

#include "app/CamerasTableModel.h"
#include "app/MediaFilesTableModel.h"
#include "platform/camera/CameraFile.h"
#include "platform/services/KXSLocalization.h"

#include <QCloseEvent>
#include <QDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>

namespace {

QString localized(const char* text) {
    return QString::fromStdString(services::KXSLocalization::localizedStringForKey(text, ""));
}

constexpr int kThumbnailSide = 64;

} // namespace

KXCameraBrowserWindowController::KXCameraBrowserWindowController(camera::DeviceBrowser::Detector detector)
    : _detector(std::move(detector)) {
    _camerasController = new CamerasTableModel(this);
    _mediaFilesController = new MediaFilesTableModel(this);
}

KXCameraBrowserWindowController::~KXCameraBrowserWindowController() {
    if (_deviceBrowser) {
        _deviceBrowser->setDelegate(nullptr);
        _deviceBrowser->stop();
    }
    for (const auto& camera : _camerasController->cameras())
        camera->setDelegate(nullptr);
    if (_window) _window->removeEventFilter(this);
    delete _window;
}

QDialog* KXCameraBrowserWindowController::window() {
    if (!_window) {
        loadWindow();
        windowDidLoad();
    }
    return _window;
}

void KXCameraBrowserWindowController::loadWindow() {
    _window = new QDialog;
    _window->setWindowTitle(localized("Import from Camera"));
    _window->resize(760, 460);
    _window->installEventFilter(this);

    _camerasTableView = new QTableView(_window);
    _camerasTableView->setModel(_camerasController);
    _camerasTableView->setSelectionBehavior(QAbstractItemView::SelectRows);
    _camerasTableView->setSelectionMode(QAbstractItemView::SingleSelection);
    _camerasTableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    _camerasTableView->verticalHeader()->hide();
    _camerasTableView->horizontalHeader()->setStretchLastSection(true);
    _camerasTableView->setFixedWidth(200);

    _cameraContentTableView = new QTableView(_window);
    _cameraContentTableView->setModel(_mediaFilesController);
    _cameraContentTableView->setSelectionBehavior(QAbstractItemView::SelectRows);
    _cameraContentTableView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    _cameraContentTableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    _cameraContentTableView->setIconSize(QSize(kThumbnailSide, kThumbnailSide));
    _cameraContentTableView->verticalHeader()->hide();
    _cameraContentTableView->verticalHeader()->setDefaultSectionSize(kThumbnailSide + 6);
    _cameraContentTableView->horizontalHeader()->setStretchLastSection(true);
    _cameraContentTableView->setColumnWidth(MediaFilesTableModel::kThumbnailColumn, kThumbnailSide + 16);
    _cameraContentTableView->setColumnWidth(MediaFilesTableModel::kDateColumn, 150);
    _cameraContentTableView->setColumnWidth(MediaFilesTableModel::kMakeColumn, 130);

    _importButton = new QPushButton(localized("Import"), _window);
    _importButton->setDefault(true);

    auto* tables = new QHBoxLayout;
    tables->addWidget(_camerasTableView);
    tables->addWidget(_cameraContentTableView, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(_importButton);
    auto* layout = new QVBoxLayout(_window);
    layout->addLayout(tables, 1);
    layout->addLayout(buttons);
}

void KXCameraBrowserWindowController::windowDidLoad() {
    setCameras({});
    connect(_cameraContentTableView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { selectedObjectsDidChange(); });
    connect(_camerasTableView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { selectedCameraDidChange(); });
    connect(_camerasTableView, &QTableView::clicked, this, [this] { openCamera(); });
    connect(_camerasTableView, &QTableView::activated, this, [this] { openCamera(); });
    connect(_importButton, &QPushButton::clicked, this, [this] { importButtonClick(); });
    _deviceBrowser = std::make_unique<camera::DeviceBrowser>(_detector);
    _deviceBrowser->setDelegate(this);
    _deviceBrowser->setBrowsedDeviceTypeMask(kBrowsedDeviceTypeMask);
    _deviceBrowser->start();
    connect(_cameraContentTableView, &QTableView::doubleClicked, this,
            [this] { cameraContentTableViewDoubleClick(_cameraContentTableView); });
    selectedObjectsDidChange();
}

const std::vector<std::shared_ptr<camera::CameraDevice>>& KXCameraBrowserWindowController::cameras() const {
    return _camerasController->cameras();
}

void KXCameraBrowserWindowController::setCameras(std::vector<std::shared_ptr<camera::CameraDevice>> cameras) {
    _camerasController->setCameras(std::move(cameras));
    selectedCameraDidChange();
}

std::string KXCameraBrowserWindowController::downloadsDirectory() const {
    if (!_downloadsDirectory.empty()) return _downloadsDirectory;
    std::error_code error;
    std::filesystem::path temporary = std::filesystem::temp_directory_path(error);
    return error ? std::string("/tmp") : temporary.string();
}

std::shared_ptr<camera::CameraDevice> KXCameraBrowserWindowController::selectedCamera() const {
    if (!_camerasTableView) return nullptr;
    const QModelIndexList rows = _camerasTableView->selectionModel()->selectedRows();
    if (rows.isEmpty()) return nullptr;
    const int row = rows.first().row();
    return row < static_cast<int>(cameras().size()) ? cameras()[row] : nullptr;
}

std::vector<std::shared_ptr<camera::CameraFile>> KXCameraBrowserWindowController::selectedFiles() const {
    std::vector<std::shared_ptr<camera::CameraFile>> files;
    if (!_cameraContentTableView) return files;
    QModelIndexList rows = _cameraContentTableView->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    for (const QModelIndex& index : rows) {
        if (auto file = _mediaFilesController->fileAtRow(index.row())) files.push_back(file);
    }
    return files;
}

bool KXCameraBrowserWindowController::canDownload() const {
    return !selectedFiles().empty();
}

bool KXCameraBrowserWindowController::canDelete() const {
    for (const auto& file : selectedFiles()) {
        if (!file->isLocked()) return true;
    }
    return false;
}

void KXCameraBrowserWindowController::selectedObjectsDidChange() {
    if (_importButton) _importButton->setEnabled(canDownload());
}

void KXCameraBrowserWindowController::selectedCameraDidChange() {
    auto camera = selectedCamera();
    _mediaFilesController->setFiles(camera ? camera->mediaFiles()
                                           : std::vector<std::shared_ptr<camera::CameraFile>>{});
    selectedObjectsDidChange();
}

void KXCameraBrowserWindowController::importButtonClick() {
    if (canDownload()) downloadFiles(selectedFiles());
}

void KXCameraBrowserWindowController::cameraContentTableViewDoubleClick(QObject* sender) {
    if (sender == _cameraContentTableView && canDownload()) downloadFiles(selectedFiles());
}

void KXCameraBrowserWindowController::openCamera() {
    if (auto camera = selectedCamera()) camera->requestOpenSession();
}

void KXCameraBrowserWindowController::downloadFiles(
    const std::vector<std::shared_ptr<camera::CameraFile>>& files) {
    _openedDownload = false;
    QPointer<KXCameraBrowserWindowController> self(this);
    for (const auto& file : files) {
        camera::CameraDevice* device = file->device();
        if (!device) continue;
        device->requestDownloadFile(file, {downloadsDirectory(), {}},
                                    [self](const auto& downloaded, const auto& error, const auto& options) {
                                        if (self) self->didDownloadFile(downloaded, error, options);
                                    });
    }
}

void KXCameraBrowserWindowController::didDownloadFile(const std::shared_ptr<camera::CameraFile>&,
                                                      const std::optional<camera::CameraError>& error,
                                                      const camera::CameraDevice::DownloadOptions& options) {
    // A failed download opens nothing: the user hears why and the window stays.
    if (error) {
        showError(error->localizedDescription);
        return;
    }
    if (options.downloadsDirectory.empty() || options.savedFilename.empty()) return;
    // Of several files imported together only the first one saved is opened; the rest stay on disk.
    if (_openedDownload || !_delegate || !_delegate->respondsToOpenImageWithUrl()) return;
    _openedDownload = true;
    _delegate->openImageWithUrl(
        (std::filesystem::path(options.downloadsDirectory) / options.savedFilename).string(), this);
    if (_window) _window->close();
}

void KXCameraBrowserWindowController::windowWillClose() {
    if (_window) _window->done(QDialog::Rejected);
}

bool KXCameraBrowserWindowController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == _window && event->type() == QEvent::Close) {
        if (!windowShouldClose()) {
            event->ignore();
            return true;
        }
        windowWillClose();
    }
    return QObject::eventFilter(watched, event);
}

void KXCameraBrowserWindowController::didAddDevice(camera::DeviceBrowser*,
                                                   const std::shared_ptr<camera::CameraDevice>& device,
                                                   bool) {
    if (!(device->type() & camera::kDeviceTypeCamera)) return;
    _camerasController->addCamera(device);
    device->setDelegate(this);
}

void KXCameraBrowserWindowController::didRemoveDevice(camera::DeviceBrowser*,
                                                      const std::shared_ptr<camera::CameraDevice>& device,
                                                      bool) {
    didRemoveDevice(device.get());
}

void KXCameraBrowserWindowController::didRemoveDevice(camera::CameraDevice* device) {
    if (_camerasController->rowOf(device) < 0) return;
    device->setDelegate(nullptr);
    _camerasController->removeCamera(device);
    selectedCameraDidChange();
}

void KXCameraBrowserWindowController::didEncounterError(camera::CameraDevice*,
                                                        const camera::CameraError& error) {
    showError(error.localizedDescription);
}

void KXCameraBrowserWindowController::didAddItems(
    camera::CameraDevice* camera, const std::vector<std::shared_ptr<camera::CameraFile>>& items) {
    if (camera == selectedCamera().get()) _mediaFilesController->appendFiles(items);
}

void KXCameraBrowserWindowController::didReceiveThumbnailForItem(
    camera::CameraDevice*, const std::shared_ptr<camera::CameraFile>& item) {
    _mediaFilesController->fileDidChange(item.get());
}

QMessageBox* KXCameraBrowserWindowController::errorAlert() const {
    return _errorAlert;
}

void KXCameraBrowserWindowController::showError(const std::string& description) {
    if (!_window) return;
    if (_errorAlert) _errorAlert->deleteLater();
    _errorAlert = new QMessageBox(QMessageBox::Warning, _window->windowTitle(),
                                  QString::fromStdString(description), QMessageBox::NoButton, _window);
    _errorAlert->addButton(localized("OK"), QMessageBox::AcceptRole);
    _errorAlert->setWindowModality(Qt::WindowModal);
    _errorAlert->setAttribute(Qt::WA_DeleteOnClose);
    _errorAlert->open();
}
