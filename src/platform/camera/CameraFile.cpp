#include "platform/camera/CameraFile.h"

#include "platform/camera/CameraDevice.h"

namespace camera {

void CameraFile::requestDetails() {
    if (_detailsState != DetailsState::kNone || !_device) return;
    _detailsState = DetailsState::kRequested;
    _device->requestDetails(shared_from_this());
}

const foundation::Dictionary& CameraFile::metadataIfAvailable() {
    requestDetails();
    return _metadata;
}

graphics::ImagePtr CameraFile::thumbnailIfAvailable() {
    requestDetails();
    return _thumbnail;
}

} // namespace camera
