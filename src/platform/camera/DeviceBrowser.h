#pragma once
// Finds connected devices and follows them being plugged in and out: a worker thread asks the
// detector every pollInterval seconds and the main thread (a running Qt event loop) compares the
// answer with the devices it holds. Only devices whose type meets the browsed mask in both kind
// and location are reported.
#include "platform/camera/CameraDevice.h"
#include "platform/camera/DeviceBrowserDelegate.h"
#include "platform/camera/DeviceDescription.h"

#include <QObject>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace foundation {
class Thread;
}

namespace camera {

class DeviceBrowser {
  public:
    // The devices connected now; empty optional when the scan failed (the known devices stay).
    using Detector = std::function<std::optional<std::vector<DeviceDescription>>()>;

    // Without a detector the library's own detection is used.
    explicit DeviceBrowser(Detector detector = {});
    ~DeviceBrowser();
    DeviceBrowser(const DeviceBrowser&) = delete;
    DeviceBrowser& operator=(const DeviceBrowser&) = delete;

    DeviceBrowserDelegate* delegate() const { return _delegate; }
    void setDelegate(DeviceBrowserDelegate* delegate) { _delegate = delegate; }
    uint32_t browsedDeviceTypeMask() const { return _mask; }
    void setBrowsedDeviceTypeMask(uint32_t mask) { _mask = mask; }
    double pollInterval() const { return _pollInterval; }
    void setPollInterval(double seconds) { _pollInterval = seconds; }

    void start();
    void stop();
    bool isBrowsing() const { return _thread != nullptr; }
    const std::vector<std::shared_ptr<CameraDevice>>& devices() const { return _devices; }

  private:
    void poll();
    void update(const std::vector<DeviceDescription>& found);
    bool isBrowsed(const DeviceDescription& description) const;

    Detector _detector;
    DeviceBrowserDelegate* _delegate = nullptr;
    uint32_t _mask = kDeviceTypeCamera | kDeviceLocationTypeMask;
    double _pollInterval = 1.0;
    std::vector<std::shared_ptr<CameraDevice>> _devices;
    QObject _mainThreadContext;
    std::mutex _mutex;
    std::condition_variable _wake;
    bool _stopping = false;
    std::unique_ptr<foundation::Thread> _thread;
};

} // namespace camera
