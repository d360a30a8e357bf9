#include "platform/imageio/NamedImage.h"

#include "platform/foundation/Bundle.h"
#include "platform/imageio/ImageSource.h"
#include "platform/imageio/JpegReader.h"

#include <new>

namespace imageio {

namespace {

thread_local bool ranOutOfMemory = false;

graphics::ImagePtr load(const std::string& path) {
    if (path.empty()) return nullptr;
    try {
        std::string why;
        std::unique_ptr<ImageSource> source = ImageSource::createWithPath(path, &why);
        if (!source) {
            ranOutOfMemory = why == kNotEnoughMemory;
            return nullptr;
        }
        graphics::ImagePtr image = source->createImage();
        ranOutOfMemory = !image && source->failureReason() == kNotEnoughMemory;
        return image;
    } catch (const std::bad_alloc&) {
        // Out of the decoder library's own buffers.
        ranOutOfMemory = true;
        return nullptr;
    }
}

} // namespace

graphics::ImagePtr imageWithContentsOfFile(const std::string& path) {
    ranOutOfMemory = false;
    return load(path);
}

graphics::ImagePtr imageNamedAdditional(const std::string& name) {
    using foundation::Bundle;
    // A main-bundle file that cannot be decoded does not hide the shared bundle's; one that ran
    // out of memory is not missing.
    graphics::ImagePtr image = imageWithContentsOfFile(Bundle::mainBundle().pathForResourceOfType(name, ""));
    if (image || ranOutOfMemory) return image;
    return imageWithContentsOfFile(Bundle::sharedBundle().pathForResourceOfType(name, ""));
}

bool lastLoadRanOutOfMemory() {
    return ranOutOfMemory;
}

} // namespace imageio
