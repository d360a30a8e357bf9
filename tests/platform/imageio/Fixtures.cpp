#include "platform/imageio/Fixtures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace imageio::test {

TempFolder::TempFolder() {
    std::string name = (std::filesystem::temp_directory_path() / "opalene-imageio-XXXXXX").string();
    if (!mkdtemp(name.data())) ADD_FAILURE() << "no temporary folder";
    path_ = name;
}

TempFolder::~TempFolder() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                 ec);
    std::filesystem::remove_all(path_, ec);
}

std::vector<float> pattern(int w, int h, int channels) {
    std::vector<float> p(size_t(w) * h * channels);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float* px = &p[(size_t(y) * w + x) * channels];
            const float v[4] = {float(x) / (w - 1), float(y) / (h - 1), float(x + y) / (w + h - 2),
                                0.25f + 0.75f * float(x) / (w - 1)};
            if (channels <= 2) {
                px[0] = v[0];
                if (channels == 2) px[1] = v[3];
            } else {
                for (int c = 0; c < channels; ++c)
                    px[c] = v[c];
            }
        }
    return p;
}

void writeWithOIIO(const std::string& path, const std::vector<float>& pixels, int w, int h, int channels,
                   OIIO::TypeDesc type, const OIIO::ImageSpec* extra) {
    OIIO::ImageSpec spec(w, h, channels, type);
    if (extra) spec.extra_attribs = extra->extra_attribs;
    // Alpha as given: otherwise the writer takes the colour as premultiplied and divides it.
    if (channels == 2 || channels == 4) spec.attribute("oiio:UnassociatedAlpha", 1);
    auto out = OIIO::ImageOutput::create(path);
    ASSERT_TRUE(out) << OIIO::geterror();
    ASSERT_TRUE(out->open(path, spec)) << out->geterror();
    ASSERT_TRUE(out->write_image(OIIO::TypeDesc::FLOAT, pixels.data())) << out->geterror();
    ASSERT_TRUE(out->close());
}

graphics::ImagePtr patternImage(int w, int h, int bits, bool alpha) {
    const std::vector<float> p = pattern(w, h, 4);
    graphics::PixelFormat format;
    format.bitsPerComponent = bits;
    if (!alpha) format.order[3] = graphics::Channel::X;
    const size_t bytes = size_t(bits / 8), rowBytes = size_t(w) * 4 * bytes;
    std::vector<uint8_t> buffer(rowBytes * h);
    for (size_t i = 0; i < p.size(); ++i) {
        const float v = (!alpha && i % 4 == 3) ? 1.0f : p[i];
        if (bits == 8)
            buffer[i] = uint8_t(v * 255 + 0.5f);
        else if (bits == 16)
            reinterpret_cast<uint16_t*>(buffer.data())[i] = uint16_t(v * 65535 + 0.5f);
        else
            reinterpret_cast<float*>(buffer.data())[i] = v;
    }
    return graphics::Image::copy(buffer.data(), w, h, rowBytes, format);
}

double component(const graphics::Image& image, int x, int y, int c) {
    const int bits = image.format().bitsPerComponent;
    const uint8_t* row = image.row(y);
    const size_t i = size_t(x) * 4 + c;
    if (bits == 8) return row[i] / 255.0;
    if (bits == 16) return reinterpret_cast<const uint16_t*>(row)[i] / 65535.0;
    return reinterpret_cast<const float*>(row)[i];
}

std::vector<char> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::string& path, const std::vector<char>& bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

} // namespace imageio::test

// Allocations the libraries keep: the HEIF encoder's for the life of the process, and the error
// text OpenImageIO 2.4 copies into its per-thread table for an input that failed to decode.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libx265.so\nleak:OpenImageIO_v2_4::ImageInput::geterror\n";
}
