#pragma once
// Decoding the first image of a file into a four-component sRGB graphics::Image, behind the
// header checks that keep absurd or damaged files from allocating or crashing.
#include "platform/graphics/Image.h"
#include "platform/imageio/ColorConversion.h"
#include "platform/imageio/JpegReader.h"

#include <OpenImageIO/imageio.h>

#include <memory>
#include <string>
#include <vector>

namespace imageio {

inline constexpr int kMaxSide = 30000;
inline constexpr double kMaxPixels = 500e6;

// How the file's channels become R, G, B and A.
struct ChannelLayout {
    ColorModel model = ColorModel::RGB;
    bool alpha = false;
    int bitsPerComponent = 8; // of the decoded image: 8, 16 or 32 (float)
    int fileChannels() const {
        return (model == ColorModel::Gray ? 1 : model == ColorModel::CMYK ? 4 : 3) + alpha;
    }
};

// Opens the file for decoding with the options every read uses; null with *failure set when
// no decoder takes it or its header is unacceptable.
std::unique_ptr<OIIO::ImageInput> openImageInput(const std::string& path, std::string* failure);
ChannelLayout channelLayout(const OIIO::ImageSpec& spec);
// The ICC profile the file embeds; empty when none.
std::vector<uint8_t> iccProfileOf(const OIIO::ImageSpec& spec);
// The image of an input opened from `path`; null with *failure set when the data is damaged.
graphics::ImagePtr readImage(OIIO::ImageInput& in, const std::string& path, std::string* failure);

// Whether the JPEG library decodes the input's pixels itself (readJpegImage): JPEG files of
// colour, of grey without a profile, and of CMYK inks with a CMYK profile.
bool decodesDirectly(const OIIO::ImageInput& in);
// The picture of such an input, turned and reduced as asked, in 8-bit R,G,B,X sRGB; null with
// *failure set when the data is damaged.
graphics::ImagePtr readJpegImage(const OIIO::ImageInput& in, const std::string& path,
                                 const JpegRequest& request, std::string* failure);

} // namespace imageio
