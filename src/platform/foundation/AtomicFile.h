#pragma once

// Whole-file reads and writes for user data. A write goes to a temporary file beside the target,
// is flushed to disk and renamed over it, so a crash leaves either the old or the new file, never a
// mix. Failures are answered with false and a message, never thrown.

#include <optional>
#include <string>

namespace foundation {

// The file's bytes; empty when it cannot be read (error says why; missing tells a missing file).
std::optional<std::string> readWholeFile(const std::string& path, std::string* error = nullptr,
                                         bool* missing = nullptr);

bool writeFileAtomically(const std::string& path, const std::string& data, std::string* error = nullptr);

// Renames a damaged file out of the way under a name not yet taken ("<path>.damaged-<time>[-n]")
// and answers that name, or empty when the rename failed.
std::string setAsideDamagedFile(const std::string& path);

} // namespace foundation
