#pragma once
// The image file types by their uniform type identifiers ("public.jpeg"), with the file name
// extensions and English display names the open and save panels show. Readable and writable
// lists follow what the installed OpenImageIO reports, so a type whose codec is missing is
// never offered.
#include <string>
#include <vector>

namespace imageio {

// Identifiers the sources can read, in table order.
const std::vector<std::string>& sourceTypeIdentifiers();
// Identifiers the destinations can write, in table order: the common types first (JPEG, PNG,
// GIF, TIFF, JPEG 2000, OpenEXR, HEIF, WebP), then the rarer ones.
const std::vector<std::string>& destinationTypeIdentifiers();

// The extensions of a type, the preferred one first; empty for an unknown identifier.
std::vector<std::string> extensionsForType(const std::string& typeIdentifier);
// The English display name ("JPEG image"); the identifier itself for an unknown one.
std::string displayName(const std::string& typeIdentifier);
// The identifier for a file name extension (any letter case, without the dot); empty if none.
std::string typeForExtension(const std::string& extension);

} // namespace imageio
