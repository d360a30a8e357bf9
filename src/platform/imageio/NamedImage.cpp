#include "platform/imageio/NamedImage.h"

#include "platform/foundation/Bundle.h"
#include "platform/imageio/ImageSource.h"

namespace imageio {

graphics::ImagePtr imageWithContentsOfFile(const std::string& path) {
    if (path.empty()) return nullptr;
    std::unique_ptr<ImageSource> source = ImageSource::createWithPath(path);
    return source ? source->createImage() : nullptr;
}

graphics::ImagePtr imageNamedAdditional(const std::string& name) {
    using foundation::Bundle;
    // A main-bundle file that cannot be decoded does not hide the shared bundle's.
    graphics::ImagePtr image = imageWithContentsOfFile(Bundle::mainBundle().pathForResourceOfType(name, ""));
    return image ? image : imageWithContentsOfFile(Bundle::sharedBundle().pathForResourceOfType(name, ""));
}

} // namespace imageio
