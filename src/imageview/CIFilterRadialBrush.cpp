#include "imageview/CIFilterRadialBrush.h"

#include "imageview/CICustomFilter.h"
#include "imageview/CustomFilterKernels.h"
#include "platform/coreimage/FilterRegistry.h"
#include "platform/coreimage/KernelRegistry.h"

namespace {
coreimage::KernelPtr brushKernel() {
    static const coreimage::KernelPtr kernel = [] {
        CustomFilterKernels::registerKernels();
        return coreimage::KernelRegistry::kernelNamed("RadialBrush");
    }();
    return kernel;
}
} // namespace

CIFilterRadialBrush::CIFilterRadialBrush()
    : coreimage::Filter("RadialBrush", CICustomFilter::classAttributes("RadialBrush")) {}

bool CIFilterRadialBrush::registerFilter() {
    return coreimage::FilterRegistry::registerFilterName(
        "RadialBrush", [](const std::string& n) -> coreimage::FilterPtr { return filterWithName(n); },
        CICustomFilter::classAttributes("RadialBrush"));
}

std::shared_ptr<CIFilterRadialBrush> CIFilterRadialBrush::filterWithName(const std::string&) {
    return std::make_shared<CIFilterRadialBrush>();
}

coreimage::ImagePtr CIFilterRadialBrush::outputImage() const {
    const std::optional<coreimage::Vector> centre = coreimage::asVector(value("inputCenter"));
    const std::optional<graphics::Color> c0 = coreimage::asColor(value("inputColor0"));
    const std::optional<graphics::Color> c1 = coreimage::asColor(value("inputColor1"));
    const std::optional<double> r0 = coreimage::asNumber(value("inputRadius0"));
    const std::optional<double> r1 = coreimage::asNumber(value("inputRadius1"));
    const std::optional<double> softness = coreimage::asNumber(value("inputSoftness"));
    const std::optional<double> opacity = coreimage::asNumber(value("inputOpacity"));
    if (!centre || !c0 || !c1 || !r0 || !r1 || !softness || !opacity) return nullptr;
    const coreimage::KernelPtr kernel = brushKernel();
    if (!kernel) return nullptr;
    const double r = double(float(*r1));
    const graphics::Rect square(centre->x() - r, centre->y() - r, 2 * r, 2 * r);
    const coreimage::ImagePtr white = coreimage::Image::imageWithColor(graphics::Color{1, 1, 1, 1});
    return kernel->apply(square, {white, *centre, *c0, *c1, *r0, *r1, *opacity, *softness});
}
