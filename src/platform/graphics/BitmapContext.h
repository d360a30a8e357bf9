#pragma once
// A drawing target over a buffer the caller owns: the context never allocates or frees pixels,
// so the buffer outlives it and the caller frees it after dropping the context. Always 8 bits
// per component, sRGB ("device RGB"), in one of the four layouts the system uses.
#include "platform/graphics/PixelFormat.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

namespace graphics {

// Bitmap info values (alpha placement plus byte order) and their memory order.
enum BitmapInfo : uint32_t {
    kBitmapInfoPremultipliedFirst = 2,       // A,R,G,B, colour premultiplied by A
    kBitmapInfoNoneSkipFirst = 6,            // X,R,G,B: the working image
    kBitmapInfoLittleEndianSkipFirst = 8198, // B,G,R,X
    kBitmapInfoBigEndianSkipLast = 16389,    // R,G,B,X
};

// The memory layout of a supported bitmap info; empty for any other value.
std::optional<PixelFormat> pixelFormatForBitmapInfo(uint32_t bitmapInfo);

class BitmapContext {
  public:
    // Null for no buffer, a side of 0 or less, bits per component other than 8, rows shorter
    // than 4 x width bytes, an unsupported bitmap info, or no memory.
    static std::unique_ptr<BitmapContext> create(uint8_t* data, int width, int height, int bitsPerComponent,
                                                 size_t rowBytes, uint32_t bitmapInfo);

    BitmapContext(const BitmapContext&) = delete;
    BitmapContext& operator=(const BitmapContext&) = delete;

    uint8_t* data() const { return data_; }
    int width() const { return width_; }
    int height() const { return height_; }
    int bitsPerComponent() const { return 8; }
    size_t rowBytes() const { return rowBytes_; }
    uint32_t bitmapInfo() const { return bitmapInfo_; }
    const PixelFormat& format() const { return format_; }

  private:
    BitmapContext(uint8_t* data, int width, int height, size_t rowBytes, uint32_t bitmapInfo,
                  PixelFormat format);

    uint8_t* data_;
    int width_;
    int height_;
    size_t rowBytes_;
    uint32_t bitmapInfo_;
    PixelFormat format_;
};

} // namespace graphics
