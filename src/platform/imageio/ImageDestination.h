#pragma once
// A file being written: one image with its properties, in the format of a type identifier.
// Nothing appears at the path until finalize() has written everything into a temporary file
// beside it, checked every write and the close, and renamed that over the path, so a failed save
// (a full disk, a writer's error) never damages an existing file. Temporaries that killed saves
// of the same path left behind are removed when the next save starts.
//
// Properties read (the rest is ignored):
// - "kCGImageDestinationLossyCompressionQuality": 0-1, for JPEG, WebP and HEIF;
// - "{TIFF}" "Compression": TIFF codes 1 (none, the default), 5 (LZW), 7 (JPEG), 8 and 32946
//   (deflate), 32773 (PackBits);
// - "Depth": 16 for 16 bits per component where the format has them, else 8; OpenEXR is
//   always written as half floats;
// - the metadata dictionaries ("{TIFF}", "{Exif}", "{GPS}", "{IPTC}") and "DPIWidth",
//   "DPIHeight", written as far as the format holds them. When the properties carry a
//   source's blocks (kMetadataBlocksProperty) and the format is JPEG, TIFF or PNG, those are
//   copied whole instead. Either way the orientation is written as 1 and the Exif pixel
//   dimensions as the image's size.
#include "platform/foundation/Value.h"
#include "platform/graphics/Image.h"

#include <memory>
#include <string>
#include <vector>

namespace imageio {

inline constexpr const char* kLossyCompressionQuality = "kCGImageDestinationLossyCompressionQuality";

class ImageDestination {
  public:
    // Null for a type that cannot be written, or a path that is a folder or lies in a folder
    // that does not exist or cannot be written to.
    static std::unique_ptr<ImageDestination> createWithPath(const std::string& path, const std::string& type);

    // The image to write; a destination takes one, so a second makes finalize() fail.
    void addImage(graphics::ImagePtr image, foundation::Dictionary properties);
    // Writes the file; true only when the image and its metadata were all written. Once.
    bool finalize();

  private:
    ImageDestination(std::string path, std::string format)
        : path_(std::move(path)), format_(std::move(format)) {}
    // The whole file into *bytes; `file` is where writers that need a file write it.
    bool encode(const std::string& file, std::vector<unsigned char>* bytes) const;

    std::string path_;
    std::string format_; // OpenImageIO's name of the format
    graphics::ImagePtr image_;
    foundation::Dictionary properties_;
    int added_ = 0;
    bool finalized_ = false;
};

} // namespace imageio
