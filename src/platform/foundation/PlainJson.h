#pragma once

// Value trees as plain JSON (user defaults, property lists): null, bools, integers, reals,
// strings, arrays and objects map one to one. Bytes, shared objects and reals that are not finite
// have no plain form and are refused, as is nesting deeper than kMaxDepth.

#include "platform/foundation/Value.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <string>

namespace foundation {

constexpr int kMaxJsonDepth = 256;

std::optional<nlohmann::json> toPlainJson(const Value& value, std::string* error = nullptr);
std::optional<Value> fromPlainJson(const nlohmann::json& json, std::string* error = nullptr);

// Indented text; empty when a string is not valid UTF-8 (JSON cannot carry it).
std::optional<std::string> dumpJson(const nlohmann::json& json, std::string* error = nullptr);

} // namespace foundation
