#include "platform/imageio/MetadataBlocks.h"

#include <array>
#include <mutex>
#include <new>
#include <string_view>

namespace imageio {

namespace {

void initializeExiv2() {
    static std::once_flag once;
    std::call_once(once, [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        Exiv2::XmpParser::initialize();
    });
}

// Tags that describe how the source file stored its pixels, not the photo: carried into
// another file they would contradict it. The ICC profile goes too: pixels are sRGB once read.
bool describesSourceFile(const Exiv2::Exifdatum& d) {
    static constexpr std::array<std::string_view, 25> layoutTags = {"NewSubfileType",
                                                                    "SubfileType",
                                                                    "ImageWidth",
                                                                    "ImageLength",
                                                                    "BitsPerSample",
                                                                    "Compression",
                                                                    "PhotometricInterpretation",
                                                                    "FillOrder",
                                                                    "StripOffsets",
                                                                    "SamplesPerPixel",
                                                                    "RowsPerStrip",
                                                                    "StripByteCounts",
                                                                    "PlanarConfiguration",
                                                                    "Predictor",
                                                                    "TileWidth",
                                                                    "TileLength",
                                                                    "TileOffsets",
                                                                    "TileByteCounts",
                                                                    "SubIFDs",
                                                                    "ExtraSamples",
                                                                    "SampleFormat",
                                                                    "JPEGTables",
                                                                    "InterColorProfile",
                                                                    "XMLPacket",
                                                                    "IPTCNAA"};
    const std::string group = d.groupName();
    if (group == "Image") {
        const std::string name = d.tagName();
        for (std::string_view t : layoutTags)
            if (name == t) return true;
        return false;
    }
    // Other images of the file: thumbnails, sub-images, further pages.
    return group == "Thumbnail" || group.rfind("SubImage", 0) == 0 || group.rfind("SubThumb", 0) == 0 ||
           (group.rfind("Image", 0) == 0 && group.size() > 5);
}

void setIfPresent(Exiv2::XmpData& xmp, const char* key, int value) {
    auto it = xmp.findKey(Exiv2::XmpKey(key));
    if (it != xmp.end()) it->setValue(std::to_string(value));
}

foundation::Value number(const Exiv2::Exifdatum& d, long i, bool real) {
    if (real) return double(d.toFloat(i));
    return int64_t(d.toLong(i));
}

} // namespace

std::shared_ptr<const MetadataBlocks> MetadataBlocks::read(const std::string& path) {
    initializeExiv2();
    try {
        auto image = Exiv2::ImageFactory::open(path);
        if (!image.get()) return nullptr;
        image->readMetadata();
        auto blocks = std::make_shared<MetadataBlocks>();
        for (const Exiv2::Exifdatum& d : image->exifData())
            if (!describesSourceFile(d)) blocks->exif.add(d);
        blocks->iptc = image->iptcData();
        blocks->xmp = image->xmpData();
        if (blocks->exif.empty() && blocks->iptc.empty() && blocks->xmp.empty()) return nullptr;
        return blocks;
    } catch (const std::bad_alloc&) {
        throw; // not a damaged file: the caller must not go on without the blocks
    } catch (...) {
        // Exiv2 reports damaged or foreign files by throwing; the pixels may still be fine.
        return nullptr;
    }
}

bool MetadataBlocks::writeTo(std::vector<unsigned char>* file, const Changes& changes) const {
    initializeExiv2();
    try {
        Exiv2::ExifData e = exif;
        Exiv2::XmpData x = xmp;
        if (!e.empty()) {
            Exiv2::ExifThumb(e).erase();
            e["Exif.Image.Orientation"] = uint16_t(1);
            e["Exif.Photo.PixelXDimension"] = uint32_t(changes.width);
            e["Exif.Photo.PixelYDimension"] = uint32_t(changes.height);
            if (!changes.software.empty()) e["Exif.Image.Software"] = changes.software;
        }
        setIfPresent(x, "Xmp.tiff.Orientation", 1);
        setIfPresent(x, "Xmp.exif.PixelXDimension", changes.width);
        setIfPresent(x, "Xmp.exif.PixelYDimension", changes.height);
        auto image = Exiv2::ImageFactory::open(file->data(), long(file->size()));
        if (!image.get()) return false;
        image->readMetadata();
        image->setExifData(e);
        image->setIptcData(iptc);
        image->setXmpData(x);
        image->writeMetadata();
        Exiv2::BasicIo& io = image->io();
        if (io.open() != 0 || io.seek(0, Exiv2::BasicIo::beg) != 0) return false;
        const Exiv2::DataBuf written = io.read(io.size());
        if (written.size_ != long(io.size())) return false;
        file->assign(written.pData_, written.pData_ + written.size_);
        return true;
    } catch (...) {
        return false;
    }
}

foundation::Dictionary MetadataBlocks::gpsProperties() const {
    foundation::Dictionary gps;
    for (const Exiv2::Exifdatum& d : exif) {
        if (d.groupName() != "GPSInfo" || d.count() == 0) continue;
        const std::string tag = d.tagName();
        const std::string key = tag == "GPSVersionID"      ? "GPSVersion"
                                : tag.rfind("GPS", 0) == 0 ? tag.substr(3)
                                                           : tag;
        const Exiv2::TypeId type = d.typeId();
        if (type == Exiv2::asciiString) {
            gps[key] = d.toString();
            continue;
        }
        const bool real = type == Exiv2::unsignedRational || type == Exiv2::signedRational;
        const bool angle =
            key == "Latitude" || key == "Longitude" || key == "DestLatitude" || key == "DestLongitude";
        if (angle && d.count() == 3) {
            gps[key] = d.toFloat(0) + d.toFloat(1) / 60.0 + d.toFloat(2) / 3600.0;
        } else if (d.count() == 1) {
            gps[key] = number(d, 0, real);
        } else {
            foundation::Array values;
            for (long i = 0; i < long(d.count()); ++i)
                values.push_back(number(d, i, real));
            gps[key] = std::move(values);
        }
    }
    return gps;
}

bool MetadataBlocks::canHold(const std::string& format) {
    return format == "jpeg" || format == "tiff" || format == "png";
}

} // namespace imageio
