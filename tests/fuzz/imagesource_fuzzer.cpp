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
    if (auto source = imageio::ImageSource::createWithPath(path)) {
        (void)source->copyProperties();
        (void)source->createImage();
        (void)source->createThumbnail(16);
    }
    std::remove(path.c_str());
    return 0;
}
