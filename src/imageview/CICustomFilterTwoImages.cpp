#include "imageview/CICustomFilterTwoImages.h"

bool CICustomFilterTwoImages::registerFilter(const std::string& name) {
    return registerFilterClass(
        name, [](const std::string& n) -> coreimage::FilterPtr { return filterWithName(n); });
}

std::shared_ptr<CICustomFilterTwoImages> CICustomFilterTwoImages::filterWithName(const std::string& name) {
    coreimage::KernelPtr kernel = kernelNamed(name);
    if (!kernel) return nullptr;
    return std::shared_ptr<CICustomFilterTwoImages>(new CICustomFilterTwoImages(name, std::move(kernel)));
}

coreimage::ImagePtr CICustomFilterTwoImages::outputImage() const {
    const coreimage::ImagePtr first = coreimage::asImage(value("inputImage"));
    const coreimage::ImagePtr second = coreimage::asImage(value("inputImageSecond"));
    if (!first || !second) return nullptr;
    const coreimage::ImagePtr out = filterKernel()->apply(first->extent(), {first, second});
    return out ? out->imageByCroppingToRect(first->extent()) : nullptr;
}
