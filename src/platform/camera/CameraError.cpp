#include "platform/camera/CameraError.h"

#include <gphoto2/gphoto2-port-result.h>
#include <gphoto2/gphoto2-result.h>

namespace camera {

bool CameraError::isBusyResult(int result) {
    return result == GP_ERROR_IO_USB_CLAIM || result == GP_ERROR_IO_LOCK || result == GP_ERROR_CAMERA_BUSY;
}

CameraError CameraError::fromResult(int result, const std::string& action) {
    std::string text = "Could not " + action + ". ";
    if (isBusyResult(result)) {
        text += "The camera is in use by another program. Close any photo importer or file manager window "
                "showing the camera (or unmount it there), then try again.";
    } else if (result == GP_ERROR_FILE_NOT_FOUND || result == GP_ERROR_DIRECTORY_NOT_FOUND) {
        text += "The file is no longer on the camera.";
    } else if (result == GP_ERROR_IO_READ) {
        // What a folder card answers for a file deleted since it was listed.
        text += "Reading from the camera failed: the file may no longer be on the camera, or the camera was "
                "disconnected.";
    } else if (result == GP_ERROR_MODEL_NOT_FOUND || result == GP_ERROR_UNKNOWN_PORT ||
               result == GP_ERROR_IO_USB_FIND) {
        text += "The camera is no longer connected.";
    } else if (result == GP_ERROR_NO_SPACE) {
        text += "There is not enough space on the disk.";
    } else {
        text += std::string(gp_result_as_string(result)) + ".";
    }
    return {result, text};
}

} // namespace camera
