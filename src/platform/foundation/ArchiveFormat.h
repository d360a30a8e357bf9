#pragma once

// Spelling shared by KeyedArchiver and KeyedUnarchiver.

#include "platform/foundation/Value.h"

#include <optional>
#include <string>

namespace foundation::archive {

inline constexpr const char* kFormat = "opalene-archive";
inline constexpr int kVersion = 1;

inline constexpr const char* kDictionary = "dictionary";
inline constexpr const char* kBytes = "bytes";
inline constexpr const char* kReal = "real";
inline constexpr const char* kRef = "ref";

bool isReservedClassName(const std::string& name);

std::string toBase64(const Bytes& bytes);
// Strict: padded, no whitespace, nothing outside the alphabet.
std::optional<Bytes> fromBase64(const std::string& text);

} // namespace foundation::archive
