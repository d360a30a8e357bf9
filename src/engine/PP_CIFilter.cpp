#include "engine/PP_CIFilter.h"

#include "platform/coreimage/FilterRegistry.h"
#include "platform/foundation/Bundle.h"

#include <fstream>
#include <iterator>

namespace {

constexpr char kResourceType[] = "cifilter";
const char* const kParamKeys[] = {"inputParam1", "inputParam2", "inputParam3"};

// The first kernel the resource declares; null when it is missing, unreadable or declares none.
coreimage::KernelPtr loadKernel(const std::string& name) {
    const std::string path = foundation::Bundle::mainBundle().pathForResourceOfType(name, kResourceType);
    if (path.empty()) return nullptr;
    std::ifstream file(path, std::ios::binary);
    if (!file) return nullptr;
    const std::string source{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (file.bad()) return nullptr;
    const std::vector<coreimage::KernelPtr> kernels = coreimage::Kernel::kernelsWithString(source);
    return kernels.empty() ? nullptr : kernels.front();
}

coreimage::FilterAttributes classAttributes(const std::string& name) {
    return {name,
            {coreimage::kCICategoryColorAdjustment, coreimage::kCICategoryVideo,
             coreimage::kCICategoryStillImage, coreimage::kCICategoryInterlaced,
             coreimage::kCICategoryNonSquarePixels},
            {}};
}

} // namespace

PP_CIFilter::PP_CIFilter(const std::string& name, coreimage::KernelPtr kernel)
    : coreimage::Filter(name, classAttributes(name)), filterKernel(std::move(kernel)) {}

bool PP_CIFilter::registerFilter(const std::string& name) {
    if (!loadKernel(name)) return false;
    return coreimage::FilterRegistry::registerFilterName(name, &PP_CIFilter::filterWithName,
                                                         classAttributes(name));
}

coreimage::FilterPtr PP_CIFilter::filterWithName(const std::string& name) {
    coreimage::KernelPtr kernel = loadKernel(name);
    if (!kernel) return nullptr;
    return coreimage::FilterPtr(new PP_CIFilter(name, std::move(kernel)));
}

coreimage::ImagePtr PP_CIFilter::outputImage() const {
    const coreimage::ImagePtr input = coreimage::asImage(value("inputImage"));
    if (!input) return nullptr;
    std::vector<coreimage::FilterValue> arguments{input};
    for (const char* key : kParamKeys) {
        const std::optional<double> number = coreimage::asNumber(value(key));
        if (!number) return nullptr;
        arguments.push_back(*number);
    }
    return filterKernel->apply(input->extent(), arguments);
}

std::map<std::string, coreimage::InputAttributes> PP_CIFilter::customAttributes() const {
    std::map<std::string, coreimage::InputAttributes> inputs;
    for (const char* key : kParamKeys)
        inputs[key] = {coreimage::kCIAttributeTypeScalar, 0.0, 1.0, 0.0, 1.0, 0.0, 0.5};
    return inputs;
}
