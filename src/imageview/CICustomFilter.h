#pragma once
// A filter whose kernel carries its own name. The kernels are compiled in (CustomFilterKernels),
// so registering one of the four names always succeeds; any other name is refused and logged,
// since a filter that silently makes nothing would lose a mask while looking successful.
#include "platform/coreimage/Filter.h"
#include "platform/coreimage/FilterRegistry.h"
#include "platform/coreimage/Kernel.h"

#include <string>

class CICustomFilter : public coreimage::Filter {
  public:
    const std::string& filterName() const { return filterName_; }
    const coreimage::KernelPtr& filterKernel() const { return filterKernel_; }

    // The class attributes every custom filter registers: its name and five categories.
    static coreimage::FilterAttributes classAttributes(const std::string& name);

  protected:
    CICustomFilter(const std::string& name, coreimage::KernelPtr kernel);
    // The kernel of the name; null (and logged) when there is none.
    static coreimage::KernelPtr kernelNamed(const std::string& name);
    // Registers the name with the constructor when the name has a kernel.
    static bool registerFilterClass(const std::string& name,
                                    coreimage::FilterRegistry::Constructor constructor);

  private:
    std::string filterName_;
    coreimage::KernelPtr filterKernel_;
};
