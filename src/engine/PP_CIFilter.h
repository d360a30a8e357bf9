#pragma once
// The image filter behind an effect class that ships a kernel source: the main bundle's
// "<class name>.cifilter" names the kernel, which is applied to (sampler over "inputImage",
// "inputParam1", "inputParam2", "inputParam3") over the input's extent. One filter name per
// effect class; the filter registry is process-wide.
#include "platform/coreimage/Filter.h"
#include "platform/coreimage/Kernel.h"

#include <map>
#include <string>

class PP_CIFilter : public coreimage::Filter {
  public:
    // Registers the name with its attributes when the main bundle's "<name>.cifilter" can be read
    // and names a registered kernel; false otherwise, so the effect keeps its other hooks.
    // Registering a name again replaces the entry.
    static bool registerFilter(const std::string& name);
    // The registry's constructor: a new filter of that name with its kernel loaded; null when the
    // resource no longer yields a kernel.
    static coreimage::FilterPtr filterWithName(const std::string& name);

    // Null without an input image or with a parameter that is not a number.
    coreimage::ImagePtr outputImage() const override;
    // "inputParam1".."inputParam3": scalars of 0 to 1, default 0.5, identity 0.
    std::map<std::string, coreimage::InputAttributes> customAttributes() const override;

  private:
    PP_CIFilter(const std::string& name, coreimage::KernelPtr kernel);

    coreimage::KernelPtr filterKernel;
};
