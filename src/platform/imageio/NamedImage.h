#pragma once
// Pictures found by resource name or file path and decoded for drawing: how overlays, papers and
// brushes are loaded. Each call decodes anew; any thread may call.
#include "platform/graphics/Image.h"

#include <string>

namespace imageio {

// The first image of the file at path as stored (orientation not applied), its pixel size the
// file's; null when there is no such file, it holds no decodable image, or memory ran out.
graphics::ImagePtr imageWithContentsOfFile(const std::string& path);

// The bundle's image of that name, extension included ("brushStroke1.png"): from the main bundle,
// else from the shared resources bundle; null when neither holds it, or when memory ran out.
graphics::ImagePtr imageNamedAdditional(const std::string& name);

// Whether the last call above on this thread answered null because memory ran out, rather than
// because the picture is missing or damaged. Like errno: set by every call, read right after it
// on the same thread.
bool lastLoadRanOutOfMemory();

} // namespace imageio
