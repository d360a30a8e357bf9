#pragma once
// One file on a camera as the interface sees it, on the main thread. Metadata and thumbnail
// are read lazily: the first ask of either queues one background read on the camera's worker
// and answers what is there so far; the camera's delegate hears when they arrive.
#include "platform/camera/CameraSession.h"

#include <memory>
#include <string>

namespace camera {

class CameraDevice;

class CameraFile : public std::enable_shared_from_this<CameraFile> {
  public:
    CameraFile(CameraDevice* device, CameraFileEntry entry) : _device(device), _entry(std::move(entry)) {}

    const std::string& name() const { return _entry.name; }
    const std::string& folder() const { return _entry.folder; }
    uint64_t fileSize() const { return _entry.size; }
    bool isLocked() const { return _entry.locked; }
    int64_t modificationDate() const { return _entry.modificationDate; }
    const CameraFileEntry& entry() const { return _entry; }
    // Null once the device is gone.
    CameraDevice* device() const { return _device; }

    // The image properties ("{Exif}", "{TIFF}", ...); empty until read.
    const foundation::Dictionary& metadataIfAvailable();
    // The thumbnail; null until read, or when the file has no picture.
    graphics::ImagePtr thumbnailIfAvailable();
    // Whether the lazy read has finished (successfully or not).
    bool hasDetails() const { return _detailsState == DetailsState::kDone; }

  private:
    friend class CameraDevice;
    enum class DetailsState { kNone, kRequested, kDone };
    void requestDetails();

    CameraDevice* _device;
    CameraFileEntry _entry;
    DetailsState _detailsState = DetailsState::kNone;
    foundation::Dictionary _metadata;
    graphics::ImagePtr _thumbnail;
};

} // namespace camera
