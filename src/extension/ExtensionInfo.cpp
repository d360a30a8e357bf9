#include "extension/ExtensionInfo.h"

#ifndef OPALENE_VERSION
#define OPALENE_VERSION "0"
#endif

const std::vector<std::string>& ExtensionInfo::supportedTypeExtensions() {
    // The photo types the editor's open panel offers.
    static const std::vector<std::string> extensions{"tiff", "tif", "jpg", "jpeg",
                                                     "png",  "bmp", "jp2", "exr"};
    return extensions;
}

std::string ExtensionInfo::bundleIdentifier() {
    return "org.opalene.photos-extension";
}

std::string ExtensionInfo::shortVersionString() {
    return OPALENE_VERSION;
}
