#pragma once
// Renders lazy images into pixels with the software renderer. There is no colour management:
// sRGB values go in and the same values come out. Only the requested rectangle is evaluated,
// in tiles spread over the processor's cores. A context holds no state; any thread may use it.
#include "platform/coreimage/Image.h"
#include "platform/foundation/Value.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/PixelFormat.h"

#include <cstddef>

namespace coreimage {

// 8-bit RGBA, colour premultiplied: what bitmaps made from images use unless told otherwise.
inline const graphics::PixelFormat kRGBA8Premultiplied{
    8, {graphics::Channel::R, graphics::Channel::G, graphics::Channel::B, graphics::Channel::A}, true};

// The option that names a context's working colour space; null means no colour matching.
inline constexpr char kCIContextWorkingColorSpace[] = "kCIContextWorkingColorSpace";

class Context {
  public:
    // The options with kCIContextWorkingColorSpace set to null. Contexts here never colour-match,
    // so this changes no pixels; it keeps options handed on elsewhere saying so.
    static foundation::Dictionary turnOffColorSpaceConversionFromOptions(foundation::Dictionary options);

    // Writes image over bounds into buffer: the top row of bounds first, rows rowBytes apart,
    // stored in format (8, 16 or 32-bit float components in any valid layout). The size is
    // truncated to whole pixels; an origin off the pixel grid is reached by resampling.
    // False for a null image or buffer, bounds that are empty or infinite, an invalid format,
    // rows too short, or no memory to work in (the buffer may then be partly written).
    bool render(const ImagePtr& image, void* buffer, size_t rowBytes, const graphics::Rect& bounds,
                const graphics::PixelFormat& format) const;

    // A new bitmap of image over fromRect in format; null on the failures above.
    graphics::ImagePtr createCGImage(const ImagePtr& image, const graphics::Rect& fromRect,
                                     const graphics::PixelFormat& format = kRGBA8Premultiplied) const;
};

// The image over its whole extent (width and height truncated) as premultiplied RGBA of 8, 16
// or 32 (float) bits per component. Other sizes print "Wrong bits per component: %d\n" on
// standard output and answer null; so do a null image and an empty or infinite extent
// (without the message).
graphics::ImagePtr render(const ImagePtr& image, int bitsPerComponent);

} // namespace coreimage
