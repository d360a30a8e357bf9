#pragma once
// What the device browser tells its delegate, on the main thread.
#include <memory>

namespace camera {

class CameraDevice;
class DeviceBrowser;

class DeviceBrowserDelegate {
  public:
    virtual ~DeviceBrowserDelegate() = default;
    // moreComing: further devices of the same scan follow at once.
    virtual void didAddDevice(DeviceBrowser* browser, const std::shared_ptr<CameraDevice>& device,
                              bool moreComing) = 0;
    virtual void didRemoveDevice(DeviceBrowser* browser, const std::shared_ptr<CameraDevice>& device,
                                 bool moreGoing) = 0;
};

} // namespace camera
