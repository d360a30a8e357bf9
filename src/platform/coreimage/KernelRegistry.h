#pragma once
// The process-wide table of kernel functions by name, which kernel source texts are resolved
// against. Safe to use from any thread.
#include "platform/coreimage/Kernel.h"

#include <string>

namespace coreimage {

class KernelRegistry {
  public:
    // Registers the function under the name, replacing an earlier one. False for an empty
    // name or a null function or a negative margin.
    static bool registerKernel(const std::string& name, Kernel::Function function, int roiMargin = 0);
    // Null when nothing is registered under the name.
    static KernelPtr kernelNamed(const std::string& name);
};

} // namespace coreimage
