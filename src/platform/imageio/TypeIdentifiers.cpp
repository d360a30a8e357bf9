#include "platform/imageio/TypeIdentifiers.h"
#include "platform/imageio/TypeTable.h"

#include <OpenImageIO/imageio.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>
#include <sstream>

namespace imageio {

namespace {

std::string lowercase(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

std::set<std::string> formatList(const char* attribute) {
    std::set<std::string> formats;
    std::istringstream list(OIIO::get_string_attribute(attribute));
    std::string name;
    while (std::getline(list, name, ','))
        formats.insert(name);
    return formats;
}

std::vector<std::string> identifiersWhere(const char* attribute, bool needsWritable) {
    const std::set<std::string> formats = formatList(attribute);
    std::vector<std::string> ids;
    for (const TypeEntry& e : typeTable())
        if ((!needsWritable || e.writable) && formats.count(e.format)) ids.push_back(e.identifier);
    return ids;
}

} // namespace

const std::vector<TypeEntry>& typeTable() {
    static const std::vector<TypeEntry> table = {
        {"public.jpeg", "jpeg", {"jpg", "jpeg", "jpe"}, "JPEG image", true},
        {"public.png", "png", {"png"}, "PNG image", true},
        {"com.compuserve.gif", "gif", {"gif"}, "GIF image", true},
        {"public.tiff", "tiff", {"tiff", "tif"}, "TIFF image", true},
        {"public.jpeg-2000", "jpeg2000", {"jp2", "j2k", "jpf"}, "JPEG 2000 image", true},
        {"com.ilm.openexr-image", "openexr", {"exr"}, "OpenEXR image", true},
        {"public.heic", "heif", {"heic", "heif"}, "HEIF image", true},
        {"org.webmproject.webp", "webp", {"webp"}, "WebP image", true},
        {"com.microsoft.bmp", "bmp", {"bmp"}, "Windows bitmap image", true},
        {"com.microsoft.ico", "ico", {"ico"}, "Windows icon image", true},
        {"com.sgi.sgi-image", "sgi", {"sgi", "rgb"}, "SGI image", true},
        {"com.truevision.tga-image", "targa", {"tga"}, "Targa image", true},
        {"public.pbm", "pnm", {"pbm", "pgm", "ppm", "pnm"}, "Portable bitmap image", true},
        {"public.radiance", "hdr", {"hdr"}, "Radiance HDR image", true},
        {"com.adobe.photoshop-image", "psd", {"psd"}, "Photoshop image", false},
        {"com.adobe.raw-image", "raw", {"dng"}, "Digital negative (DNG)", false},
        {"com.canon.cr2-raw-image", "raw", {"cr2"}, "Canon raw image (CR2)", false},
        {"com.canon.cr3-raw-image", "raw", {"cr3"}, "Canon raw image (CR3)", false},
        {"com.canon.crw-raw-image", "raw", {"crw"}, "Canon raw image (CRW)", false},
        {"com.nikon.raw-image", "raw", {"nef"}, "Nikon raw image (NEF)", false},
        {"com.nikon.nrw-raw-image", "raw", {"nrw"}, "Nikon raw image (NRW)", false},
        {"com.sony.arw-raw-image", "raw", {"arw"}, "Sony raw image (ARW)", false},
        {"com.fuji.raw-image", "raw", {"raf"}, "Fujifilm raw image (RAF)", false},
        {"com.olympus.raw-image", "raw", {"orf"}, "Olympus raw image (ORF)", false},
        {"com.panasonic.rw2-raw-image", "raw", {"rw2"}, "Panasonic raw image (RW2)", false},
        {"com.pentax.raw-image", "raw", {"pef"}, "Pentax raw image (PEF)", false},
        {"com.samsung.raw-image", "raw", {"srw"}, "Samsung raw image (SRW)", false},
        {"public.camera-raw-image", "raw", {}, "Camera raw image", false},
    };
    return table;
}

const TypeEntry* typeEntry(const std::string& typeIdentifier) {
    for (const TypeEntry& e : typeTable())
        if (typeIdentifier == e.identifier) return &e;
    return nullptr;
}

const TypeEntry* typeEntryForFile(const std::string& format, const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    if (!ext.empty()) ext = lowercase(ext.substr(1));
    const TypeEntry* fallback = nullptr;
    for (const TypeEntry& e : typeTable()) {
        if (format != e.format) continue;
        if (std::find(e.extensions.begin(), e.extensions.end(), ext) != e.extensions.end()) return &e;
        if (!fallback) fallback = &e;
    }
    if (fallback && format == "raw") return typeEntry("public.camera-raw-image");
    return fallback;
}

const std::vector<std::string>& sourceTypeIdentifiers() {
    static const std::vector<std::string> ids = identifiersWhere("input_format_list", false);
    return ids;
}

const std::vector<std::string>& destinationTypeIdentifiers() {
    static const std::vector<std::string> ids = identifiersWhere("output_format_list", true);
    return ids;
}

std::vector<std::string> extensionsForType(const std::string& typeIdentifier) {
    const TypeEntry* e = typeEntry(typeIdentifier);
    if (!e) return {};
    return {e->extensions.begin(), e->extensions.end()};
}

std::string displayName(const std::string& typeIdentifier) {
    const TypeEntry* e = typeEntry(typeIdentifier);
    return e ? e->displayName : typeIdentifier;
}

std::string typeForExtension(const std::string& extension) {
    const std::string ext = lowercase(extension);
    for (const TypeEntry& e : typeTable())
        if (std::find(e.extensions.begin(), e.extensions.end(), ext) != e.extensions.end())
            return e.identifier;
    return {};
}

} // namespace imageio
