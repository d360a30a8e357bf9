#pragma once
// The filters every program has, declared once in a table: inputs with their defaults, and
// how the output is built from them.
#include "platform/coreimage/Filter.h"

#include <string>

namespace coreimage {

bool isBuiltinFilterName(const std::string& name);
// A new built-in filter (defaults not yet set); null for another name.
FilterPtr makeBuiltinFilter(const std::string& name);

} // namespace coreimage
