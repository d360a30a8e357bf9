// Any bytes through the whole read path: header, properties, metadata blocks, pixels, colour
// and thumbnail. The bytes go through a file because sources read paths, as the editor's do.
#include "platform/imageio/ImageSource.h"

#include <OpenImageIO/imageio.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

std::string inputPath() {
    static const std::string path = "/tmp/opalene-fuzz-" + std::to_string(getpid());
    return path;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    OIIO::attribute("threads", 1); // one thread: findings reproduce
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = inputPath();
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    // Headers claiming hundreds of megapixels pass the source's limits and then take seconds
    // and gigabytes each; the limits themselves are tested elsewhere.
    if (auto in = OIIO::ImageInput::open(path)) {
        const OIIO::ImageSpec& spec = in->spec();
        if (double(spec.width) * spec.height * spec.nchannels > 16e6) {
            std::remove(path.c_str());
            return 0;
        }
    }
    if (auto source = imageio::ImageSource::createWithPath(path)) {
        (void)source->copyProperties();
        (void)source->createImage();
        (void)source->createThumbnail(16);
    }
    std::remove(path.c_str());
    return 0;
}

// The error text OpenImageIO 2.4 keeps in its per-thread table for a failed input is not ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:OpenImageIO_v2_4::ImageInput::geterror\n";
}
