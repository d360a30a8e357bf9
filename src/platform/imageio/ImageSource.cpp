#include "platform/imageio/ImageSource.h"

#include "platform/graphics/BitmapContext.h"
#include "platform/graphics/Drawing.h"
#include "platform/imageio/MetadataBlocks.h"
#include "platform/imageio/Orientation.h"
#include "platform/imageio/PixelReader.h"
#include "platform/imageio/PropertyMapping.h"
#include "platform/imageio/TypeTable.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace imageio {

namespace {

const char* modelName(ColorModel model) {
    switch (model) {
    case ColorModel::Gray: return "Gray";
    case ColorModel::CMYK: return "CMYK";
    case ColorModel::RGB: break;
    }
    return "RGB";
}

std::vector<uint8_t> iccProfile(const OIIO::ImageSpec& spec) {
    const OIIO::ParamValue* icc = spec.find_attribute("ICCProfile");
    if (!icc || icc->type().basetype != OIIO::TypeDesc::UINT8) return {};
    const auto* data = static_cast<const uint8_t*>(icc->data());
    return {data, data + icc->type().size() * size_t(icc->nvalues())};
}

} // namespace

std::unique_ptr<ImageSource> ImageSource::createWithPath(const std::string& path, std::string* failure) {
    std::string why;
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status)) why = "The file does not exist.";
    else if (!std::filesystem::is_regular_file(status)) why = "The path is not a file.";
    else if (!std::ifstream(path, std::ios::binary).is_open()) why = "The file cannot be read.";
    if (!why.empty()) {
        if (failure) *failure = why;
        return nullptr;
    }
    std::unique_ptr<ImageSource> source(new ImageSource(path));
    source->readHeader();
    return source;
}

void ImageSource::readHeader() {
    auto in = openImageInput(path_, &failure_);
    if (!in) return;
    const OIIO::ImageSpec& spec = in->spec();
    format_ = in->format_name();
    if (const TypeEntry* entry = typeEntryForFile(format_, path_)) type_ = entry->identifier;
    width_ = spec.width;
    height_ = spec.height;

    const ChannelLayout layout = channelLayout(spec);
    foundation::Dictionary props;
    props["PixelWidth"] = spec.width;
    props["PixelHeight"] = spec.height;
    props["Depth"] = spec.get_int_attribute("oiio:BitsPerSample", int(spec.format.size() * 8));
    props["HasAlpha"] = layout.alpha;
    props["ColorModel"] = modelName(layout.model);
    ColorModel profileModel;
    std::string profileName;
    if (describeProfile(iccProfile(spec), &profileModel, &profileName) && !profileName.empty())
        props["ProfileName"] = profileName;
    addMetadataProperties(spec, format_, props);
    if (auto it = props.find("Orientation"); it != props.end()) orientation_ = int(it->second.getInt64().value_or(1));
    if (auto blocks = MetadataBlocks::read(path_)) {
        if (!props.count("{GPS}"))
            if (foundation::Dictionary gps = blocks->gpsProperties(); !gps.empty()) props["{GPS}"] = std::move(gps);
        props[kMetadataBlocksProperty] = foundation::Value::object(blocks, "imageio.MetadataBlocks");
    }
    properties_ = std::move(props);
}

graphics::ImagePtr ImageSource::createImage() {
    if (properties_.empty()) return nullptr; // failure_ tells why
    auto in = openImageInput(path_, &failure_);
    if (!in) return nullptr;
    if (in->spec().width != width_ || in->spec().height != height_) {
        failure_ = "The file changed since it was opened.";
        return nullptr;
    }
    graphics::ImagePtr image = readImage(*in, path_, &failure_);
    if (image) failure_.clear();
    return image;
}

graphics::ImagePtr ImageSource::createThumbnail(int maxPixelSize) {
    graphics::ImagePtr image = createImage();
    if (!image) return nullptr;
    const int longer = std::max(image->width(), image->height());
    const double scale = maxPixelSize > 0 && maxPixelSize < longer ? double(maxPixelSize) / longer : 1.0;
    const int w = std::max(1, int(std::lround(image->width() * scale)));
    const int h = std::max(1, int(std::lround(image->height() * scale)));
    const bool alpha = image->format().hasAlpha();
    const size_t rowBytes = size_t(w) * 4;
    auto* pixels = new (std::nothrow) uint8_t[rowBytes * size_t(h)]();
    if (!pixels) {
        failure_ = "There is not enough memory for the thumbnail.";
        return nullptr;
    }
    const auto info = alpha ? graphics::kBitmapInfoPremultipliedFirst : graphics::kBitmapInfoBigEndianSkipLast;
    auto context = graphics::BitmapContext::create(pixels, w, h, 8, rowBytes, info);
    graphics::drawImage(*context, graphics::Rect(0, 0, w, h), image);
    auto thumbnail = graphics::Image::adopt(pixels, w, h, rowBytes, context->format(),
                                            [](void* p) { delete[] static_cast<uint8_t*>(p); });
    if (!thumbnail) {
        delete[] pixels;
        return nullptr;
    }
    return applyOrientation(thumbnail, orientation_);
}

} // namespace imageio
