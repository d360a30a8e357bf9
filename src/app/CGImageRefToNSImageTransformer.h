#pragma once
// Turns a camera file's thumbnail into a picture for a table cell, at the thumbnail's own size;
// no thumbnail gives a null picture. One way only.
#include "platform/graphics/Image.h"

#include <QPixmap>

class CGImageRefToNSImageTransformer {
  public:
    static constexpr const char* kName = "CGImageRefToNSImage";
    static QPixmap transformedValue(const graphics::ImagePtr& image);
};
