#pragma once
// The process-wide table of custom filter names: Filter::filterWithName makes a registered
// name's filters with its constructor and gives them its class attributes. Safe to use from
// any thread.
#include "platform/coreimage/Filter.h"

#include <functional>
#include <optional>
#include <string>

namespace coreimage {

class FilterRegistry {
  public:
    // Answers a new filter for the name it is asked for.
    using Constructor = std::function<FilterPtr(const std::string& name)>;

    struct Entry {
        Constructor constructor;
        FilterAttributes classAttributes;
    };

    // Registers the name (again, replacing the earlier entry). classAttributes carries the
    // display name, the categories and optionally input attributes. False for an empty name, a
    // null constructor or the name of a built-in filter.
    static bool registerFilterName(const std::string& name, Constructor constructor,
                                   FilterAttributes classAttributes);
    static std::optional<Entry> entryNamed(const std::string& name);
};

} // namespace coreimage
