#include "platform/imageio/ImageSource.h"

#include "platform/graphics/BitmapContext.h"
#include "platform/graphics/Drawing.h"
#include "platform/imageio/JpegReader.h"
#include "platform/imageio/MetadataBlocks.h"
#include "platform/imageio/Orientation.h"
#include "platform/imageio/PixelReader.h"
#include "platform/imageio/PropertyMapping.h"
#include "platform/imageio/TypeTable.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <system_error>

namespace imageio {

namespace {

const char* modelName(ColorModel model) {
    switch (model) {
    case ColorModel::Gray:
        return "Gray";
    case ColorModel::CMYK:
        return "CMYK";
    case ColorModel::RGB:
        break;
    }
    return "RGB";
}

// The image at w x h in 8 bits, premultiplied A,R,G,B when it has alpha, else R,G,B,X: itself
// when it already is that.
graphics::ImagePtr fitted(const graphics::ImagePtr& image, int w, int h, std::string* failure) {
    const bool alpha = image->format().hasAlpha();
    const auto info =
        alpha ? graphics::kBitmapInfoPremultipliedFirst : graphics::kBitmapInfoBigEndianSkipLast;
    const graphics::PixelFormat format = *graphics::pixelFormatForBitmapInfo(info);
    if (image->width() == w && image->height() == h && image->format() == format) return image;
    const size_t rowBytes = size_t(w) * 4;
    // Drawing covers every pixel: only a picture with alpha composites onto what the buffer holds.
    auto* pixels =
        static_cast<uint8_t*>(alpha ? std::calloc(size_t(h), rowBytes) : std::malloc(rowBytes * size_t(h)));
    if (!pixels) {
        *failure = "There is not enough memory for the thumbnail.";
        return nullptr;
    }
    auto context = graphics::BitmapContext::create(pixels, w, h, 8, rowBytes, info);
    graphics::drawImage(*context, graphics::Rect(0, 0, w, h), image);
    auto result = graphics::Image::adopt(pixels, w, h, rowBytes, format, [](void* p) { std::free(p); });
    if (!result) std::free(pixels);
    return result;
}

} // namespace

std::unique_ptr<ImageSource> ImageSource::createWithPath(const std::string& path, std::string* failure) {
    std::string why;
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status))
        why = "The file does not exist.";
    else if (!std::filesystem::is_regular_file(status))
        why = "The path is not a file.";
    else if (!std::ifstream(path, std::ios::binary).is_open())
        why = "The file cannot be read.";
    if (!why.empty()) {
        if (failure) *failure = why;
        return nullptr;
    }
    try {
        std::unique_ptr<ImageSource> source(new ImageSource(path));
        source->readHeader();
        return source;
    } catch (const std::bad_alloc&) {
        if (failure) *failure = kNotEnoughMemory;
        return nullptr;
    }
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
    if (describeProfile(iccProfileOf(spec), &profileModel, &profileName) && !profileName.empty())
        props["ProfileName"] = profileName;
    addMetadataProperties(spec, format_, props);
    if (auto it = props.find("Orientation"); it != props.end())
        orientation_ = int(it->second.getInt64().value_or(1));
    if (auto blocks = MetadataBlocks::read(path_)) {
        if (!props.count("{GPS}"))
            if (foundation::Dictionary gps = blocks->gpsProperties(); !gps.empty())
                props["{GPS}"] = std::move(gps);
        props[kMetadataBlocksProperty] = foundation::Value::object(blocks, "imageio.MetadataBlocks");
    }
    properties_ = std::move(props);
}

std::unique_ptr<OIIO::ImageInput> ImageSource::openForReading() {
    if (properties_.empty()) return nullptr; // failure_ tells why
    auto in = openImageInput(path_, &failure_);
    if (!in) return nullptr;
    if (in->spec().width != width_ || in->spec().height != height_) {
        failure_ = "The file changed since it was opened.";
        return nullptr;
    }
    return in;
}

graphics::ImagePtr ImageSource::createImage() {
    auto in = openForReading();
    if (!in) return nullptr;
    graphics::ImagePtr image = readImage(*in, path_, &failure_);
    if (image) failure_.clear();
    return image;
}

graphics::ImagePtr ImageSource::createThumbnail(int maxPixelSize) {
    auto in = openForReading();
    if (!in) return nullptr;
    const int longer = std::max(width_, height_);
    const double scale = maxPixelSize > 0 && maxPixelSize < longer ? double(maxPixelSize) / longer : 1.0;
    const int w = std::max(1, int(std::lround(width_ * scale)));
    const int h = std::max(1, int(std::lround(height_ * scale)));
    graphics::ImagePtr image;
    if (decodesDirectly(*in)) {
        // Turned and reduced by the decoder itself, so only a remainder of the scale is left.
        const int wanted = scale < 1 ? std::max(w, h) : 0;
        image = readJpegImage(*in, path_, {orientation_, jpegScaleEighths(longer, wanted)}, &failure_);
        const bool turned = orientation_ >= 5 && orientation_ <= 8;
        if (image) image = fitted(image, turned ? h : w, turned ? w : h, &failure_);
    } else {
        image = readImage(*in, path_, &failure_);
        if (image) image = fitted(image, w, h, &failure_);
        if (image) image = applyOrientation(image, orientation_);
    }
    if (image) failure_.clear();
    return image;
}

} // namespace imageio
