#include "platform/imageio/PixelReader.h"

#include "platform/graphics/ParallelRows.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <new>
#include <vector>

namespace imageio {

namespace {

// Below this many pixels any file may be read; above, the file must be big enough to hold them
// at the best compression a format reaches (deflated one-bit pixels, about 8000 per byte).
constexpr double kPixelsWithoutSizeCheck = 16e6;
constexpr double kMaxPixelsPerFileByte = 16384;
constexpr int kMaxChannels = 64;

std::string headerProblem(const OIIO::ImageSpec& spec, uintmax_t fileBytes) {
    if (spec.width <= 0 || spec.height <= 0) return "The image has no pixels.";
    const double pixels = double(spec.width) * spec.height;
    const std::string size =
        " (" + std::to_string(spec.width) + " x " + std::to_string(spec.height) + " pixels).";
    if (spec.width > kMaxSide || spec.height > kMaxSide || pixels > kMaxPixels)
        return "The image is too large" + size;
    if (pixels > std::max(kPixelsWithoutSizeCheck, double(fileBytes) * kMaxPixelsPerFileByte))
        return "The image data is damaged: the file is too small for its size" + size;
    if (spec.nchannels < 1 || spec.nchannels > kMaxChannels) return "The image has no usable channels.";
    if (spec.tile_width > 0 &&
        double(spec.tile_width) * std::max(spec.tile_height, 1) > kPixelsWithoutSizeCheck)
        return "The image data is damaged: its tiles are too large.";
    if (spec.depth > 1 || spec.deep) return "Volume and deep images are not supported.";
    return {};
}

template <typename T> constexpr T fullValue() {
    if constexpr (std::is_floating_point_v<T>)
        return T(1);
    else
        return std::numeric_limits<T>::max();
}

// Grey or CMYK components of `from` (packed, c per pixel) into RGBA of `to`, without profile.
template <typename T>
void expandToRGB(const ChannelLayout& layout, const uint8_t* from, size_t fromRow, uint8_t* to, size_t toRow,
                 int width, int height) {
    const int c = layout.fileChannels();
    graphics::parallelRows(height, size_t(width), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const T* s = reinterpret_cast<const T*>(from + size_t(y) * fromRow);
            T* d = reinterpret_cast<T*>(to + size_t(y) * toRow);
            for (int x = 0; x < width; ++x, s += c, d += 4) {
                if (layout.model == ColorModel::Gray) {
                    d[0] = d[1] = d[2] = s[0];
                    if (layout.alpha) d[3] = s[1];
                } else { // CMYK: ink subtracts from white
                    const double full = double(fullValue<T>());
                    const double k = 1.0 - double(s[3]) / full;
                    for (int i = 0; i < 3; ++i) {
                        const double v = (full - double(s[i])) * k;
                        d[i] = std::is_floating_point_v<T> ? T(v) : T(v + 0.5);
                    }
                }
            }
        }
    });
}

template <typename T> void fillFourth(uint8_t* pixels, size_t rowBytes, int width, int height) {
    graphics::parallelRows(height, size_t(width), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            T* p = reinterpret_cast<T*>(pixels + size_t(y) * rowBytes);
            for (int x = 0; x < width; ++x)
                p[4 * x + 3] = fullValue<T>();
        }
    });
}

void dispatch(int bits, auto&& fn) {
    if (bits == 8)
        fn(uint8_t{});
    else if (bits == 16)
        fn(uint16_t{});
    else
        fn(float{});
}

bool isLinear(const OIIO::ImageInput& in) {
    const std::string format = in.format_name();
    const std::string space = in.spec().get_string_attribute("oiio:ColorSpace");
    return format == "openexr" || format == "hdr" || space == "Linear" || space == "linear";
}

} // namespace

std::unique_ptr<OIIO::ImageInput> openImageInput(const std::string& path, std::string* failure) {
    OIIO::ImageSpec config;
    // Straight alpha as stored: premultiplying 8-bit colour would lose precision.
    config.attribute("oiio:UnassociatedAlpha", 1);
    auto in = OIIO::ImageInput::open(path, &config);
    // The TIFF reader turns ink into RGB without the file's profile: take the inks as stored.
    if (in && in->spec().get_int_attribute("tiff:PhotometricInterpretation", -1) == 5 &&
        in->spec().nchannels == 3) {
        config.attribute("oiio:RawColor", 1);
        in = OIIO::ImageInput::open(path, &config);
    }
    if (!in) {
        std::string why = OIIO::geterror();
        *failure =
            "The file is not an image that can be read" + (why.empty() ? std::string(".") : ": " + why);
        return nullptr;
    }
    std::error_code ec;
    const uintmax_t bytes = std::filesystem::file_size(path, ec);
    *failure = headerProblem(in->spec(), ec ? 0 : bytes);
    if (!failure->empty()) return nullptr;
    return in;
}

ChannelLayout channelLayout(const OIIO::ImageSpec& spec) {
    ChannelLayout layout;
    const bool separated = spec.get_int_attribute("tiff:PhotometricInterpretation", -1) == 5 &&
                           spec.nchannels >= 4 && spec.channelnames.size() >= 1 &&
                           spec.channelnames[0] != "R";
    if (separated) {
        layout.model = ColorModel::CMYK;
    } else if (spec.nchannels < 3) {
        layout.model = ColorModel::Gray;
        layout.alpha = spec.nchannels == 2;
    } else {
        // The GIF reader names its fourth channel "A" but gives it an alpha index past the end.
        layout.alpha = spec.nchannels >= 4 && (spec.alpha_channel == 3 ||
                                               (spec.channelnames.size() > 3 && spec.channelnames[3] == "A"));
    }
    const OIIO::TypeDesc::BASETYPE base = OIIO::TypeDesc::BASETYPE(spec.format.basetype);
    if (base == OIIO::TypeDesc::UINT8 || base == OIIO::TypeDesc::INT8)
        layout.bitsPerComponent = 8;
    else if (base == OIIO::TypeDesc::UINT16 || base == OIIO::TypeDesc::INT16)
        layout.bitsPerComponent = 16;
    else
        layout.bitsPerComponent = 32;
    return layout;
}

std::vector<uint8_t> iccProfileOf(const OIIO::ImageSpec& spec) {
    const OIIO::ParamValue* icc = spec.find_attribute("ICCProfile");
    if (!icc || icc->type().basetype != OIIO::TypeDesc::UINT8) return {};
    const auto* data = static_cast<const uint8_t*>(icc->data());
    return {data, data + icc->type().size() * size_t(icc->nvalues())};
}

namespace {

bool hasCmykProfile(const std::vector<uint8_t>& profile) {
    ColorModel model = ColorModel::RGB;
    std::string name;
    return describeProfile(profile, &model, &name) && model == ColorModel::CMYK;
}

graphics::PixelFormat formatOf(int bits, bool alpha, bool premultiplied) {
    graphics::PixelFormat format;
    format.bitsPerComponent = bits;
    if (!alpha) format.order[3] = graphics::Channel::X;
    format.premultiplied = premultiplied;
    return format;
}

} // namespace

bool decodesDirectly(const OIIO::ImageInput& in) {
    const OIIO::ImageSpec& spec = in.spec();
    if (std::string(in.format_name()) != "jpeg") return false;
    const std::string space = spec.get_string_attribute("jpeg:ColorSpace");
    if (space == "CMYK") return hasCmykProfile(iccProfileOf(spec));
    if (!space.empty()) return false;
    return spec.nchannels == 3 || (spec.nchannels == 1 && !spec.find_attribute("ICCProfile"));
}

graphics::ImagePtr readJpegImage(const OIIO::ImageInput& in, const std::string& path,
                                 const JpegRequest& request, std::string* failure) {
    const OIIO::ImageSpec& spec = in.spec();
    JpegPixels read;
    if (!readJpeg(path, spec.width, spec.height, request, &read, failure)) return nullptr;
    uint8_t* pixels = read.data.get();
    const std::vector<uint8_t> profile = iccProfileOf(spec);
    const ColorModel model = read.inks ? ColorModel::CMYK : ColorModel::RGB;
    // In place: every model here takes four bytes a pixel.
    const bool converted =
        !profile.empty() && convertProfileToSRGB(profile, model, !read.inks, 8, pixels, read.rowBytes, pixels,
                                                 read.rowBytes, read.width, read.height);
    if (read.inks) {
        if (!converted)
            expandToRGB<uint8_t>(ChannelLayout{ColorModel::CMYK, false, 8}, pixels, read.rowBytes, pixels,
                                 read.rowBytes, read.width, read.height);
        fillFourth<uint8_t>(pixels, read.rowBytes, read.width, read.height);
    }
    graphics::ImagePtr image =
        graphics::Image::adopt(pixels, read.width, read.height, read.rowBytes, formatOf(8, false, false),
                               [](void* p) { std::free(p); });
    if (image)
        read.data.release();
    else
        *failure = kNotEnoughMemory; // the sizes are the decoder's own: only the image's record failed
    return image;
}

graphics::ImagePtr readImage(OIIO::ImageInput& in, const std::string& path, std::string* failure) {
    if (decodesDirectly(in)) return readJpegImage(in, path, {}, failure);
    const OIIO::ImageSpec& spec = in.spec();
    const ChannelLayout layout = channelLayout(spec);
    const std::vector<uint8_t> profile = iccProfileOf(spec);
    const int width = spec.width, height = spec.height, bits = layout.bitsPerComponent;
    const size_t bytes = size_t(bits / 8);
    const size_t rowBytes = size_t(width) * 4 * bytes;
    const OIIO::TypeDesc type = bits == 8    ? OIIO::TypeDesc::UINT8
                                : bits == 16 ? OIIO::TypeDesc::UINT16
                                             : OIIO::TypeDesc::FLOAT;

    std::unique_ptr<uint8_t[]> pixels(new (std::nothrow) uint8_t[rowBytes * size_t(height)]);
    if (!pixels) {
        *failure = kNotEnoughMemory;
        return nullptr;
    }
    // RGB lands in place; grey and CMYK are read packed and expanded.
    const int channels = layout.fileChannels();
    std::vector<uint8_t> packed;
    uint8_t* target = pixels.get();
    OIIO::stride_t xstride = OIIO::stride_t(4 * bytes), ystride = OIIO::stride_t(rowBytes);
    size_t packedRow = 0;
    if (layout.model != ColorModel::RGB) {
        packedRow = size_t(width) * size_t(channels) * bytes;
        try {
            packed.resize(packedRow * size_t(height));
        } catch (const std::bad_alloc&) {
            *failure = kNotEnoughMemory;
            return nullptr;
        }
        target = packed.data();
        xstride = OIIO::AutoStride;
        ystride = OIIO::stride_t(packedRow);
    }
    if (!in.read_image(0, 0, 0, channels, type, target, xstride, ystride) || in.has_error()) {
        std::string why = in.geterror();
        *failure = "The image data is damaged" + (why.empty() ? std::string(".") : ": " + why);
        return nullptr;
    }

    bool converted = false;
    if (!profile.empty()) {
        const bool extra = layout.model == ColorModel::RGB || layout.alpha;
        const uint8_t* src = packed.empty() ? pixels.get() : packed.data();
        converted = convertProfileToSRGB(profile, layout.model, extra, bits, src,
                                         packed.empty() ? rowBytes : packedRow, pixels.get(), rowBytes, width,
                                         height);
    }
    if (!converted && layout.model != ColorModel::RGB)
        dispatch(bits, [&](auto t) {
            expandToRGB<decltype(t)>(layout, packed.data(), packedRow, pixels.get(), rowBytes, width, height);
        });
    const bool premultiplied = layout.alpha && !spec.get_int_attribute("oiio:UnassociatedAlpha", 0);
    const bool linear = bits == 32 && isLinear(in);
    if (linear)
        encodeLinearToSRGB(reinterpret_cast<float*>(pixels.get()), rowBytes, width, height, premultiplied);
    if (!layout.alpha)
        dispatch(bits, [&](auto t) { fillFourth<decltype(t)>(pixels.get(), rowBytes, width, height); });

    graphics::ImagePtr image = graphics::Image::adopt(pixels.get(), width, height, rowBytes,
                                                      formatOf(bits, layout.alpha, premultiplied && !linear),
                                                      [](void* p) { delete[] static_cast<uint8_t*>(p); });
    if (image)
        pixels.release();
    else
        *failure = kNotEnoughMemory; // the sizes passed the header checks: only the record failed
    return image;
}

} // namespace imageio
