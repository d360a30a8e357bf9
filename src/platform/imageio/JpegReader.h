#pragma once
// JPEG files decoded with the JPEG library straight into the four-byte pixels of the image being
// made: no intermediate full-size buffer and no copy after. The library also reduces by eighths
// as it decodes, and rows are turned upright as they arrive. OpenImageIO reads the header; this
// reads the pixels, so CMYK inks come out as stored (OpenImageIO would turn them into RGB by the
// plain ink formula and drop what the file's profile says). Library errors come back as
// failures, never end the program.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace imageio {

// The failure reason of a decode that ran out of memory, here and in PixelReader.
inline constexpr const char* kNotEnoughMemory = "There is not enough memory for the image.";

struct JpegRequest {
    int orientation = 1;  // Exif 1-8, applied as rows arrive; 1 or another value keeps the stored layout
    int scaleEighths = 8; // decode at scaleEighths / 8 of the stored size, 1-8
};

// Four bytes a pixel: R, G, B, 255 for colour and grey files; C, M, Y, K inks (0 no ink, the
// inverted storage of files with an Adobe marker undone) for CMYK files.
struct JpegPixels {
    struct Free {
        void operator()(uint8_t* p) const;
    };
    std::unique_ptr<uint8_t, Free> data; // allocated with std::malloc
    int width = 0, height = 0;           // after scaling and turning
    size_t rowBytes = 0;
    bool inks = false;
};

// Decodes the JPEG at `path`, expected to be width x height as stored. False with *failure set
// when it cannot be decoded, is damaged or is not that size.
bool readJpeg(const std::string& path, int width, int height, const JpegRequest& request, JpegPixels* out,
              std::string* failure);

// The smallest decode scale, in eighths, that keeps a side of `stored` pixels at least `wanted`
// (8 when wanted is 0 or not below stored).
int jpegScaleEighths(int stored, int wanted);

} // namespace imageio
