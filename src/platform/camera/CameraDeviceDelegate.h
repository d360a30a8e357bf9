#pragma once
// What a camera tells its delegate, always on the main thread. Every method is optional.
#include "platform/camera/CameraError.h"

#include <memory>
#include <optional>
#include <vector>

namespace camera {

class CameraDevice;
class CameraFile;

class CameraDeviceDelegate {
  public:
    virtual ~CameraDeviceDelegate() = default;

    // The device was unplugged (or its card unmounted).
    virtual void didRemoveDevice(CameraDevice*) {}
    // Opening, listing or another request failed.
    virtual void didEncounterError(CameraDevice*, const CameraError&) {}
    virtual void didOpenSessionWithError(CameraDevice*, const std::optional<CameraError>&) {}
    virtual void didCloseSessionWithError(CameraDevice*, const std::optional<CameraError>&) {}
    // Every file has been listed.
    virtual void deviceDidBecomeReady(CameraDevice*) {}
    // Files appended to mediaFiles() (a folder at a time while the camera is listed).
    virtual void didAddItems(CameraDevice*, const std::vector<std::shared_ptr<CameraFile>>&) {}
    // A file's lazy read has finished: its thumbnail and metadata are as good as they will get.
    virtual void didReceiveThumbnailForItem(CameraDevice*, const std::shared_ptr<CameraFile>&) {}
    virtual void didReceiveMetadataForItem(CameraDevice*, const std::shared_ptr<CameraFile>&) {}
};

} // namespace camera
