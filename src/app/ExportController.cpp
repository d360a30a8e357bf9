#include "app/ExportController.h"

#include "platform/appkit/Workspace.h"
#include "platform/imageio/ImageDestination.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

ExportController::ExportController(graphics::ImagePtr image, foundation::Dictionary properties,
                                   std::string exportFolder)
    : _exportImage(std::move(image)), _imageProperties(std::move(properties)),
      _exportDefaultPath(std::move(exportFolder)) {}

std::string ExportController::defaultExportFolder() {
    std::error_code ec;
    const fs::path temporary = fs::temp_directory_path(ec);
    return ec ? std::string("/tmp") : temporary.string();
}

std::string ExportController::uniqueExportedImagePath() const {
    const fs::path folder(_exportDefaultPath);
    fs::path path = folder / (std::string(kExportedImageName) + ".jpg");
    std::error_code ec;
    for (long n = 2; fs::exists(path, ec) || fs::is_symlink(path, ec); ++n)
        path = folder / (std::string(kExportedImageName) + " " + std::to_string(n) + ".jpg");
    return path.string();
}

std::optional<std::string> ExportController::preparedImagePathToExport(ExportError* error) {
    std::error_code ec;
    if (!fs::is_directory(_exportDefaultPath, ec)) {
        fs::create_directories(_exportDefaultPath, ec);
        if (ec || !fs::is_directory(_exportDefaultPath)) {
            if (error) {
                const std::error_code cause = ec ? ec : std::make_error_code(std::errc::not_a_directory);
                *error = {"NSPOSIXErrorDomain", cause.value(), cause.message()};
            }
            return std::nullopt;
        }
    }
    if (!_exportImage) return std::nullopt;

    const std::string path = uniqueExportedImagePath();
    auto destination = imageio::ImageDestination::createWithPath(path, "public.jpeg");
    bool written = false;
    if (destination) {
        destination->addImage(_exportImage, _imageProperties);
        written = destination->finalize();
    }
    if (!written) {
        if (error)
            *error = {"NSOSStatusErrorDomain", kIOError, "The image could not be written to " + path + "."};
        return std::nullopt;
    }
    return path;
}

bool ExportController::exportToApplication(const std::string& applicationId, std::string* errorDescription) {
    ExportError error;
    const std::optional<std::string> path = preparedImagePathToExport(&error);
    if (!path) {
        if (errorDescription) *errorDescription = error.localizedDescription;
        return false;
    }
    return exportFile(*path, applicationId);
}

bool ExportController::exportToIPhoto(std::string* errorDescription) {
    return exportToApplication("com.apple.iPhoto", errorDescription);
}

// Answers the opening's result: a failed hand-over is not reported as done.
bool ExportController::exportToAperture(std::string* errorDescription) {
    return exportToApplication("com.apple.Aperture", errorDescription);
}

bool ExportController::exportFile(const std::string& path, const std::string& applicationId) {
    return appkit::Workspace::openFile(path, applicationId);
}
