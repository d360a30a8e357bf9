#include "imageview/CICustomFilter.h"

#include "imageview/CustomFilterKernels.h"
#include "platform/coreimage/KernelRegistry.h"

#include <cstdio>

CICustomFilter::CICustomFilter(const std::string& name, coreimage::KernelPtr kernel)
    : coreimage::Filter(name, classAttributes(name)), filterName_(name), filterKernel_(std::move(kernel)) {}

coreimage::FilterAttributes CICustomFilter::classAttributes(const std::string& name) {
    return {name,
            {coreimage::kCICategoryColorAdjustment, coreimage::kCICategoryVideo,
             coreimage::kCICategoryStillImage, coreimage::kCICategoryInterlaced,
             coreimage::kCICategoryNonSquarePixels},
            {}};
}

coreimage::KernelPtr CICustomFilter::kernelNamed(const std::string& name) {
    CustomFilterKernels::registerKernels();
    coreimage::KernelPtr kernel = coreimage::KernelRegistry::kernelNamed(name);
    if (!kernel) std::fprintf(stderr, "opalene: no filter kernel named \"%s\"\n", name.c_str());
    return kernel;
}

bool CICustomFilter::registerFilterClass(const std::string& name,
                                         coreimage::FilterRegistry::Constructor constructor) {
    if (!kernelNamed(name)) return false;
    return coreimage::FilterRegistry::registerFilterName(name, std::move(constructor), classAttributes(name));
}
