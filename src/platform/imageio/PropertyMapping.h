#pragma once
// The two-way mapping between OpenImageIO's flat attributes ("Make", "Exif:FNumber",
// "GPS:Latitude") and property dictionaries in the platform's key shape ("{TIFF}" Make,
// "{Exif}" FNumber, "{GPS}" Latitude in degrees).
#include "platform/foundation/Value.h"

#include <OpenImageIO/imageio.h>

#include <string>

namespace imageio {

// The metadata dictionaries of a file read by the OpenImageIO format `format` ("{TIFF}",
// "{Exif}", "{GPS}", "{IPTC}", "{JFIF}", "{PNG}"), each present only when it has entries, plus
// the top-level "Orientation", "DPIWidth" and "DPIHeight" when the file gives them.
void addMetadataProperties(const OIIO::ImageSpec& spec, const std::string& format,
                           foundation::Dictionary& properties);

// The reverse, for writing: the metadata dictionaries of `properties` become attributes of spec.
// Orientation is written as 1 and the Exif pixel dimensions as the written image's size.
void addMetadataAttributes(const foundation::Dictionary& properties, OIIO::ImageSpec& spec);

} // namespace imageio
