#pragma once
// The Exif, IPTC and XMP blocks of a source file, kept whole so that a save carries every tag
// over in its own directory (maker notes, lens and serial numbers, the XMP rating), which a
// trip through OpenImageIO's attributes would lose or move. Read and written with Exiv2.
#include "platform/foundation/Value.h"

#include <memory>
#include <string>
#include <vector>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations" // Exiv2 0.27 still names std::auto_ptr
#include <exiv2/exiv2.hpp>
#pragma GCC diagnostic pop

namespace imageio {

struct MetadataBlocks {
    Exiv2::ExifData exif;
    Exiv2::IptcData iptc;
    Exiv2::XmpData xmp;

    // The blocks of a file; null when it holds none or Exiv2 cannot parse it. Throws std::bad_alloc
    // when memory runs out.
    static std::shared_ptr<const MetadataBlocks> read(const std::string& path);

    // The GPS directory in the platform's key shape ("Latitude" in degrees, "LatitudeRef", ...),
    // for files whose GPS OpenImageIO does not read (TIFF); empty when there is none.
    foundation::Dictionary gpsProperties() const;

    // What a save changes in the carried blocks.
    struct Changes {
        int width = 0;
        int height = 0;
        std::string software; // empty: kept as it was
    };
    // Writes the blocks into the bytes of an image file with the changes applied: orientation 1,
    // the pixel size, the software, and no embedded thumbnail (it shows the old picture). False,
    // with the bytes unchanged, when Exiv2 cannot write them.
    bool writeTo(std::vector<unsigned char>* file, const Changes& changes) const;

    // Formats whose files take the blocks (OpenImageIO format names).
    static bool canHold(const std::string& format);
};

} // namespace imageio
