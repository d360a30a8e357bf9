#include "platform/coreimage/KernelRegistry.h"

#include <map>
#include <mutex>

namespace coreimage {

namespace {
struct Table {
    std::mutex lock;
    std::map<std::string, KernelPtr> kernels;
};
Table& table() {
    static Table t;
    return t;
}
} // namespace

bool KernelRegistry::registerKernel(const std::string& name, Kernel::Function function, int roiMargin) {
    if (name.empty() || !function || roiMargin < 0) return false;
    auto kernel = std::make_shared<const Kernel>(name, function, roiMargin);
    std::lock_guard guard(table().lock);
    table().kernels[name] = std::move(kernel);
    return true;
}

KernelPtr KernelRegistry::kernelNamed(const std::string& name) {
    std::lock_guard guard(table().lock);
    const auto it = table().kernels.find(name);
    return it == table().kernels.end() ? nullptr : it->second;
}

} // namespace coreimage
