#pragma once
// A readable image file: its type, the property dictionary of its first image in the platform's
// key shape, the image itself and thumbnails. A source is made only for a file that exists and
// can be read; whether it holds a decodable image is a second question (count() and
// failureReason()), so callers can tell a missing file from a damaged one.
//
// Images come out in sRGB: an embedded ICC profile is converted, linear OpenEXR values are
// encoded, grey and CMYK become RGB. They have four components (R, G, B and A, or a skipped
// fourth set to its maximum) at the file's depth: 8 or 16 bits, or 32-bit float for float and
// half files. Files above 30,000 pixels a side or 500 megapixels are refused before any pixel
// is allocated. One thread at a time may use a source.
#include "platform/foundation/Value.h"
#include "platform/graphics/Image.h"

#include <OpenImageIO/oiioversion.h>

#include <memory>
#include <string>

OIIO_NAMESPACE_BEGIN
class ImageInput;
OIIO_NAMESPACE_END

namespace imageio {

// Top-level property under which a source passes the file's Exif, IPTC and XMP blocks to a
// destination, as an opaque object: a dictionary copied from a source's properties carries
// them along. Not a metadata dictionary; panels listing properties skip it.
inline constexpr const char* kMetadataBlocksProperty = "MetadataBlocks";

class ImageSource {
  public:
    // Null when the path is missing, not a file or not readable, or when memory ran out while its
    // header was read; *failure (when given) says which (kNotEnoughMemory for the last).
    static std::unique_ptr<ImageSource> createWithPath(const std::string& path,
                                                       std::string* failure = nullptr);

    const std::string& path() const { return path_; }
    // The type identifier ("public.jpeg"); empty when no decoder recognises the file.
    const std::string& type() const { return type_; }
    // 1 when the file holds an image whose header is sound, else 0.
    size_t count() const { return properties_.empty() ? 0 : 1; }
    // Why there is no image, or why the last image or thumbnail failed; empty otherwise.
    const std::string& failureReason() const { return failure_; }

    // The properties of the first image; empty when there is none. Top level: "PixelWidth",
    // "PixelHeight", "Depth", "HasAlpha", "ColorModel" ("RGB", "Gray", "CMYK"), and when the
    // file gives them "Orientation" (1-8), "DPIWidth", "DPIHeight", "ProfileName"; then the
    // dictionaries "{TIFF}", "{Exif}", "{GPS}", "{IPTC}", "{JFIF}", "{PNG}" that have entries.
    const foundation::Dictionary& copyProperties() const { return properties_; }

    // The first image as stored: orientation not applied. Null on failure (see failureReason).
    graphics::ImagePtr createImage();
    // The first image scaled so that its longer side is at most maxPixelSize (never enlarged; 0 or
    // less: full size), with its orientation applied; 8-bit, premultiplied A,R,G,B when the image
    // has alpha, else R,G,B,X. JPEG files are reduced by their decoder first, by eighths, to no
    // less than that size; other files are decoded whole.
    graphics::ImagePtr createThumbnail(int maxPixelSize);

  private:
    ImageSource(std::string path) : path_(std::move(path)) {}
    void readHeader();
    // The file opened again for its pixels; null with failure_ set when it no longer fits the header.
    std::unique_ptr<OIIO::ImageInput> openForReading();

    std::string path_;
    std::string type_;
    std::string format_; // OpenImageIO's name of the format
    foundation::Dictionary properties_;
    std::string failure_;
    int width_ = 0, height_ = 0, orientation_ = 1;
};

} // namespace imageio
