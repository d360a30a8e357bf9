#pragma once

// A Value tree written to and read from a file as plain JSON (the presets info file). Writing is
// atomic. Bytes and shared objects cannot be written; reading refuses damaged JSON.

#include "platform/foundation/Value.h"

#include <optional>
#include <string>

namespace foundation {

class PropertyList {
  public:
    static bool write(const Value& value, const std::string& path, std::string* error = nullptr);
    static std::optional<Value> read(const std::string& path, std::string* error = nullptr);
};

} // namespace foundation
