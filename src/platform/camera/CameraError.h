#pragma once
// A failure of a camera operation: the library's result code and a sentence for the user. A port
// held by another program (the desktop's own photo importer or file manager often claims a camera
// the moment it is plugged in) gets a hint on how to free it.
#include <string>

namespace camera {

struct CameraError {
    int code = 0; // the library's result code; 0 for failures of our own (file system)
    std::string localizedDescription;

    // The error for a failed library call; `action` says what was being done ("open the camera").
    static CameraError fromResult(int result, const std::string& action);
    // A failure outside the library, e.g. writing the downloaded file.
    static CameraError withDescription(std::string description) { return {0, std::move(description)}; }
    // Whether the result says the device is held by someone else.
    static bool isBusyResult(int result);
};

} // namespace camera
