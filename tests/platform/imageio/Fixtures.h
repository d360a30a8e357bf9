#pragma once
// Small images made in code for the image file tests: pixel patterns, files written straight
// with OpenImageIO (so the reader is tested against a writer other than ours), metadata added
// with Exiv2, and a temporary folder per test.
#include "platform/graphics/Image.h"

#include <OpenImageIO/imageio.h>

#include <filesystem>
#include <string>
#include <vector>

namespace imageio::test {

class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// A smooth colour pattern of w x h pixels with `channels` components (1-4) as floats 0-1, and a
// non-opaque alpha when channels is 2 or 4.
std::vector<float> pattern(int w, int h, int channels);

// Writes float pixels of `channels` components with OpenImageIO in `format` ("" from the
// extension) at the file type `type`, adding the attributes of `extra`. Fails the test on error.
void writeWithOIIO(const std::string& path, const std::vector<float>& pixels, int w, int h, int channels,
                   OIIO::TypeDesc type, const OIIO::ImageSpec* extra = nullptr);

// An 8- or 16-bit or float RGBA graphics::Image of the pattern (straight alpha).
graphics::ImagePtr patternImage(int w, int h, int bits, bool alpha);

// The component `c` of pixel (x, y) of an image, scaled to 0-1.
double component(const graphics::Image& image, int x, int y, int c);

// The whole file as bytes, and writing bytes as a file.
std::vector<char> readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::vector<char>& bytes);

} // namespace imageio::test
