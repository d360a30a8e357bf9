#include "imageview/CIFilterSetAlpha.h"

bool CIFilterSetAlpha::registerFilter(const std::string& name) {
    return registerFilterClass(
        name, [](const std::string& n) -> coreimage::FilterPtr { return filterWithName(n); });
}

std::shared_ptr<CIFilterSetAlpha> CIFilterSetAlpha::filterWithName(const std::string& name) {
    coreimage::KernelPtr kernel = kernelNamed(name);
    if (!kernel) return nullptr;
    return std::shared_ptr<CIFilterSetAlpha>(new CIFilterSetAlpha(name, std::move(kernel)));
}

coreimage::ImagePtr CIFilterSetAlpha::outputImage() const {
    const coreimage::ImagePtr input = coreimage::asImage(value("inputImage"));
    const std::optional<double> p = coreimage::asNumber(value("inputParam1"));
    if (!input || !p) return nullptr;
    const coreimage::ImagePtr out = filterKernel()->apply(input->extent(), {input, *p});
    return out ? out->imageByCroppingToRect(input->extent()) : nullptr;
}

std::map<std::string, coreimage::InputAttributes> CIFilterSetAlpha::customAttributes() const {
    return {{"inputParam1", {coreimage::kCIAttributeTypeScalar, 0.0, 1.0, 0.0, 1.0, 0.0, 0.5}}};
}
