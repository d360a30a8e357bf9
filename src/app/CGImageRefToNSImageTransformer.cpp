#include "app/CGImageRefToNSImageTransformer.h"

#include "controls/ImageAdditional.h"

QPixmap CGImageRefToNSImageTransformer::transformedValue(const graphics::ImagePtr& image) {
    if (!image) return {};
    return QPixmap::fromImage(ImageAdditional::toQImage(image));
}
