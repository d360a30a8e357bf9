#pragma once
// Reading a photo for editing: the upright picture, the properties kept for saving it again (no
// orientation, since the pixels carry it; "Software" naming this program), and the down-scaling
// of photos above the editor's pixel cap. Plain functions so the editor and its tests share them.
#include "platform/foundation/Value.h"
#include "platform/graphics/Image.h"

#include <string>
#include <vector>

namespace ImageOpening {

// The largest pixel count kept on opening.
inline constexpr double RivorezIduvivViewControllerMaxPixels = 16000000.0;

// Extensions the open panels offer.
std::vector<std::string> readableFileTypes();

struct OpenedPhoto {
    graphics::ImagePtr image;              // upright; null when the file could not be read
    foundation::Dictionary properties;     // every property of the file, for the metadata panel
    foundation::Dictionary keptProperties; // what a save writes back
    std::string utType;                    // the file's type identifier
    bool hasSource = false;                // false: the path names no readable file at all
    std::string failure;                   // why there is no image
};

OpenedPhoto readPhoto(const std::string& path);

// The properties a save keeps: top-level orientation, depth and alpha dropped, "{TIFF}" always
// present, without orientation, with "Software".
foundation::Dictionary keptProperties(const foundation::Dictionary& properties);
std::string softwareName();

// Whether a picture of this size is above the cap, and the size it is scaled to when it is.
bool needsResize(int width, int height);
void cappedSize(int width, int height, int* outWidth, int* outHeight);
graphics::ImagePtr resizeInBackgroundImage(const graphics::ImagePtr& image);
graphics::ImagePtr resizeImage(const graphics::ImagePtr& image, double width, double height);

} // namespace ImageOpening
