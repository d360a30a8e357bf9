#include "imageview/MaskCompositing.h"

#include "platform/coreimage/Filter.h"

namespace MaskCompositing {

coreimage::ImagePtr constant(double r, double g, double b, double a) {
    coreimage::FilterPtr f = coreimage::Filter::filterWithName("CIConstantColorGenerator");
    f->setValue("inputColor", graphics::Color{r, g, b, a});
    return f->outputImage();
}

coreimage::ImagePtr blend(const coreimage::ImagePtr& front, const coreimage::ImagePtr& back,
                          const coreimage::ImagePtr& mask) {
    coreimage::FilterPtr f = coreimage::Filter::filterWithName("CIBlendWithMask");
    f->setValue("inputImage", front);
    f->setValue("inputBackgroundImage", back);
    f->setValue("inputMaskImage", mask);
    return f->outputImage();
}

coreimage::ImagePtr composite(const char* name, const coreimage::ImagePtr& source,
                              const coreimage::ImagePtr& destination) {
    coreimage::FilterPtr f = coreimage::Filter::filterWithName(name);
    f->setValue("inputImage", source);
    f->setValue("inputBackgroundImage", destination);
    return f->outputImage();
}

} // namespace MaskCompositing
