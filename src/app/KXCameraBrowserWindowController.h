#pragma once
// The camera import window: connected cameras in one table, the selected camera's files in the
// other (thumbnail, date, make, model), and Import. Imported files are downloaded into the
// temporary folder; the first one saved goes to the delegate to be opened, and the window closes,
// which ends its modal run. Device errors and failed downloads show an "OK" alert on the window,
// which stays open.
// The meta-object compiler cannot read the standard library's concepts these pull in.
#ifndef Q_MOC_RUN
#include "app/KXWindowControllerDelegate.h"
#include "platform/camera/CameraDevice.h"
#include "platform/camera/DeviceBrowser.h"
#endif

#include <QObject>
#include <QPointer>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CamerasTableModel;
class MediaFilesTableModel;
class QDialog;
class QMessageBox;
class QPushButton;
class QTableView;

class KXCameraBrowserWindowController : public QObject,
                                        public camera::DeviceBrowserDelegate,
                                        public camera::CameraDeviceDelegate {
    Q_OBJECT
  public:
    static constexpr uint32_t kBrowsedDeviceTypeMask = 0xFF01;

    // The detector finds the connected devices (the library's detection when empty).
    explicit KXCameraBrowserWindowController(camera::DeviceBrowser::Detector detector = {});
    ~KXCameraBrowserWindowController() override;

    // The window, built and set up on first ask. The editor runs it modally with exec().
    QDialog* window();

    KXWindowControllerDelegate* delegate() const { return _delegate; }
    void setDelegate(KXWindowControllerDelegate* delegate) { _delegate = delegate; }
    const std::vector<std::shared_ptr<camera::CameraDevice>>& cameras() const;
    void setCameras(std::vector<std::shared_ptr<camera::CameraDevice>> cameras);
    // Where downloads go: the system's temporary folder unless set.
    std::string downloadsDirectory() const;
    void setDownloadsDirectory(std::string folder) { _downloadsDirectory = std::move(folder); }

    bool canDownload() const;
    bool canDelete() const;
    std::shared_ptr<camera::CameraDevice> selectedCamera() const;
    std::vector<std::shared_ptr<camera::CameraFile>> selectedFiles() const;

    // Actions.
    void importButtonClick();
    void cameraContentTableViewDoubleClick(QObject* sender);
    void openCamera();
    void downloadFiles(const std::vector<std::shared_ptr<camera::CameraFile>>& files);
    void didDownloadFile(const std::shared_ptr<camera::CameraFile>& file,
                         const std::optional<camera::CameraError>& error,
                         const camera::CameraDevice::DownloadOptions& options);
    bool windowShouldClose() { return true; }
    void windowWillClose();

    // Device browser.
    void didAddDevice(camera::DeviceBrowser* browser, const std::shared_ptr<camera::CameraDevice>& device,
                      bool moreComing) override;
    void didRemoveDevice(camera::DeviceBrowser* browser, const std::shared_ptr<camera::CameraDevice>& device,
                         bool moreGoing) override;
    // Camera.
    void didRemoveDevice(camera::CameraDevice* device) override;
    void didEncounterError(camera::CameraDevice* device, const camera::CameraError& error) override;
    void didAddItems(camera::CameraDevice* camera,
                     const std::vector<std::shared_ptr<camera::CameraFile>>& items) override;
    void didReceiveThumbnailForItem(camera::CameraDevice* camera,
                                    const std::shared_ptr<camera::CameraFile>& item) override;

    // The window's parts, for the editor's layout checks and for tests.
    camera::DeviceBrowser* deviceBrowser() const { return _deviceBrowser.get(); }
    QTableView* camerasTableView() const { return _camerasTableView; }
    QTableView* cameraContentTableView() const { return _cameraContentTableView; }
    QPushButton* importButton() const { return _importButton; }
    CamerasTableModel* camerasController() const { return _camerasController; }
    MediaFilesTableModel* mediaFilesController() const { return _mediaFilesController; }
    // The alert on show, if any.
    QMessageBox* errorAlert() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void loadWindow();
    void windowDidLoad();
    void selectedCameraDidChange();
    void selectedObjectsDidChange();
    void showError(const std::string& description);

    camera::DeviceBrowser::Detector _detector;
    KXWindowControllerDelegate* _delegate = nullptr;
    std::string _downloadsDirectory;
    bool _openedDownload = false; // the current import has handed a file to the delegate
    QPointer<QDialog> _window;
    QTableView* _camerasTableView = nullptr;
    QTableView* _cameraContentTableView = nullptr;
    QPushButton* _importButton = nullptr;
    CamerasTableModel* _camerasController = nullptr;
    MediaFilesTableModel* _mediaFilesController = nullptr;
    QPointer<QMessageBox> _errorAlert;
    std::unique_ptr<camera::DeviceBrowser> _deviceBrowser;
};
