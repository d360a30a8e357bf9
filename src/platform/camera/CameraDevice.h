#pragma once
// A connected camera, used from the main thread. Every request runs on the camera's own worker
// thread, one at a time, and answers on the main thread through the delegate or a completion
// (needs a running Qt event loop). Dropping the device cancels what is pending; an answer for a
// device that is gone is never delivered.
#include "platform/camera/CameraDeviceDelegate.h"
#include "platform/camera/CameraError.h"
#include "platform/camera/CameraFile.h"
#include "platform/camera/DeviceDescription.h"

#include <QObject>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace camera {

class CameraSession;
class CameraWorker;

class CameraDevice {
  public:
    // Where a download goes, and once it is done the name it was saved under.
    struct DownloadOptions {
        std::string downloadsDirectory;
        std::string savedFilename;
    };
    using DownloadCompletion =
        std::function<void(const std::shared_ptr<CameraFile>& file, const std::optional<CameraError>& error,
                           const DownloadOptions& options)>;

    static constexpr int kThumbnailSize = 160;

    explicit CameraDevice(DeviceDescription description);
    ~CameraDevice();
    CameraDevice(const CameraDevice&) = delete;
    CameraDevice& operator=(const CameraDevice&) = delete;

    const DeviceDescription& description() const { return _description; }
    const std::string& name() const { return _description.model; }
    uint32_t type() const { return _description.type; }
    uint32_t capabilities() const { return _description.capabilities; }

    bool canTakePicture() const { return capabilities() & kCameraDeviceCanTakePicture; }
    bool canDeleteOneFile() const { return capabilities() & kCameraDeviceCanDeleteOneFile; }
    bool canDeleteAllFiles() const { return capabilities() & kCameraDeviceCanDeleteAllFiles; }
    bool canSyncClock() const { return capabilities() & kCameraDeviceCanSyncClock; }
    bool canReceiveFile() const { return capabilities() & kCameraDeviceCanReceiveFile; }
    bool canEject() const { return capabilities() & kDeviceCanEjectOrDisconnect; }

    CameraDeviceDelegate* delegate() const { return _delegate; }
    void setDelegate(CameraDeviceDelegate* delegate) { _delegate = delegate; }

    // Opens the camera and lists every file in every folder; files stream in through didAddItems,
    // then deviceDidBecomeReady. Asking again while open or opening does nothing.
    void requestOpenSession();
    void requestCloseSession();
    bool hasOpenSession() const { return _sessionState == SessionState::kOpen; }
    const std::vector<std::shared_ptr<CameraFile>>& mediaFiles() const { return _mediaFiles; }

    // Copies a file of this camera into options.downloadsDirectory under a name no file there has;
    // the completion gets the options with savedFilename set, or an error and nothing written.
    void requestDownloadFile(const std::shared_ptr<CameraFile>& file, DownloadOptions options,
                             DownloadCompletion completion);

    // The browser's word that the device is gone: tells the delegate and stops pending work.
    void deviceWasRemoved();
    bool wasRemoved() const { return _removed; }

  private:
    friend class CameraFile;
    enum class SessionState { kClosed, kOpening, kOpen };

    void requestDetails(const std::shared_ptr<CameraFile>& file);
    void post(std::function<void()> task);
    void listOnWorker();
    void addItems(std::vector<CameraFileEntry> entries);

    DeviceDescription _description;
    CameraDeviceDelegate* _delegate = nullptr;
    SessionState _sessionState = SessionState::kClosed;
    bool _removed = false;
    std::vector<std::shared_ptr<CameraFile>> _mediaFiles;
    QObject _mainThreadContext;              // answers posted to it die with it
    std::atomic<bool> _stopping{false};      // stops a running transfer when the device goes
    std::unique_ptr<CameraSession> _session; // touched by the worker only
    std::unique_ptr<CameraWorker> _worker;   // declared last: joined before the rest goes
};

} // namespace camera
