#include "platform/coreimage/FilterRegistry.h"

#include "platform/coreimage/BuiltinFilters.h"

#include <map>
#include <mutex>

namespace coreimage {

namespace {
struct Table {
    std::mutex lock;
    std::map<std::string, FilterRegistry::Entry> entries;
};
Table& table() {
    static Table t;
    return t;
}
} // namespace

bool FilterRegistry::registerFilterName(const std::string& name, Constructor constructor,
                                        FilterAttributes classAttributes) {
    if (name.empty() || !constructor || isBuiltinFilterName(name)) return false;
    std::lock_guard guard(table().lock);
    table().entries[name] = {std::move(constructor), std::move(classAttributes)};
    return true;
}

std::optional<FilterRegistry::Entry> FilterRegistry::entryNamed(const std::string& name) {
    std::lock_guard guard(table().lock);
    const auto it = table().entries.find(name);
    if (it == table().entries.end()) return std::nullopt;
    return it->second;
}

} // namespace coreimage
