#pragma once
// Hands the current image to another application: writes it as a JPEG under a free name in the
// temporary folder and asks the workspace to open that file with the application.
#include "platform/foundation/Value.h"
#include "platform/graphics/Image.h"

#include <cstdint>
#include <optional>
#include <string>

// Why an export file could not be made.
struct ExportError {
    std::string domain; // "NSPOSIXErrorDomain" for the folder, "NSOSStatusErrorDomain" for the write
    std::int64_t code = 0;
    std::string localizedDescription;
};

class ExportController {
  public:
    static constexpr const char* kExportedImageName = "PictavoExportedImage";
    static constexpr std::int64_t kIOError = -36;

    // The image and the properties given to the writer unchanged; files go to exportFolder (the
    // process's temporary folder unless a test says otherwise).
    ExportController(graphics::ImagePtr image, foundation::Dictionary properties,
                     std::string exportFolder = defaultExportFolder());

    static std::string defaultExportFolder();

    const graphics::ImagePtr& exportImage() const { return _exportImage; }
    void setExportImage(graphics::ImagePtr image) { _exportImage = std::move(image); }
    const std::string& exportDefaultPath() const { return _exportDefaultPath; }

    // "PictavoExportedImage.jpg" in the export folder, or the first free "PictavoExportedImage n.jpg"
    // from n = 2.
    std::string uniqueExportedImagePath() const;
    // The path of a freshly written JPEG; empty when the folder cannot be made or the write fails
    // (error set), or when there is no image (error untouched).
    std::optional<std::string> preparedImagePathToExport(ExportError* error);

    // Prepare the file and open it with the application; false with the error's description in
    // errorDescription when the file could not be made, else the opening's answer.
    bool exportToIPhoto(std::string* errorDescription);
    bool exportToAperture(std::string* errorDescription);

    // Opens the file with the application of that identifier without waiting for it.
    static bool exportFile(const std::string& path, const std::string& applicationId);

  private:
    bool exportToApplication(const std::string& applicationId, std::string* errorDescription);

    graphics::ImagePtr _exportImage;
    foundation::Dictionary _imageProperties;
    std::string _exportDefaultPath;
};
