#pragma once
// The extension's bundle information, compiled in: the file extensions it opens (lower case,
// compared with a photo's lower-cased extension), its identifier and its short version, which
// name the format of the adjustment data it writes.
#include <string>
#include <vector>

struct ExtensionInfo {
    static const std::vector<std::string>& supportedTypeExtensions();
    static std::string bundleIdentifier();
    static std::string shortVersionString();
};
