#pragma once
// Pictures found by resource name or file path and decoded for drawing: how overlays, papers and
// brushes are loaded. Each call decodes anew; any thread may call.
#include "platform/graphics/Image.h"

#include <string>

namespace imageio {

// The first image of the file at path as stored (orientation not applied), its pixel size the
// file's; null when there is no such file or it holds no decodable image.
graphics::ImagePtr imageWithContentsOfFile(const std::string& path);

// The bundle's image of that name, extension included ("brushStroke1.png"): from the main bundle,
// else from the shared resources bundle; null when neither holds it.
graphics::ImagePtr imageNamedAdditional(const std::string& name);

} // namespace imageio
