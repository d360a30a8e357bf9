#pragma once
// An open connection to one camera. Every call blocks on the device, so a session belongs to the
// camera's worker thread alone; a cancel flag given at opening stops a running transfer.
#include "platform/camera/CameraError.h"
#include "platform/camera/DeviceDescription.h"
#include "platform/foundation/Value.h"
#include "platform/graphics/Image.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace camera {

// One file as the camera lists it.
struct CameraFileEntry {
    std::string folder; // absolute camera folder, "/" or "/DCIM/100CANON"
    std::string name;
    uint64_t size = 0;            // 0 when the camera does not say
    bool locked = false;          // the camera refuses to delete it
    int64_t modificationDate = 0; // seconds since 1970, 0 when unknown
};

// What is read from a file for display: its image properties in the image layer's shape
// ("{Exif}", "{TIFF}", ...) and a small picture, either of which may be missing.
struct CameraFileDetails {
    foundation::Dictionary metadata;
    graphics::ImagePtr thumbnail;
};

class CameraSession {
  public:
    // Null with *error when the camera cannot be opened. `cancelled` must outlive the session.
    static std::unique_ptr<CameraSession> open(const DeviceDescription& device,
                                               const std::atomic<bool>* cancelled, CameraError* error);
    ~CameraSession();
    CameraSession(const CameraSession&) = delete;
    CameraSession& operator=(const CameraSession&) = delete;

    // The files and the sub-folders (absolute paths) of one folder.
    bool listFolder(const std::string& folder, std::vector<CameraFileEntry>* files,
                    std::vector<std::string>* folders, CameraError* error);
    // Properties and a thumbnail whose longer side is at most thumbnailSize. Reads the camera's
    // preview and the start of the file where the camera offers them, else the whole file.
    std::optional<CameraFileDetails> fileDetails(const CameraFileEntry& file, int thumbnailSize,
                                                 CameraError* error);
    // Copies the file into `folder` under its own name, or "name (2).ext" and so on when that is
    // taken: an existing file is never replaced. Answers the path written. On failure nothing is
    // left behind.
    std::optional<std::string> downloadFile(const CameraFileEntry& file, const std::string& folder,
                                            CameraError* error);

    // The file name a camera's name becomes on disk: no folder parts, never empty, "." or "..".
    static std::string safeFileName(const std::string& cameraName);

  private:
    CameraSession() = default;
    bool fetchToPath(const CameraFileEntry& file, int type, const std::string& path, int* result);

    struct Handles;
    std::unique_ptr<Handles> h;
};

} // namespace camera
