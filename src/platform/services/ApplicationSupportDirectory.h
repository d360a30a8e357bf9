#pragma once

// The folder where the engine keeps its archives ("presets" and the presets manager's state).
// It exists (and is writable by the user) once this has answered. Safe from any thread.

#include <string>

namespace services {

std::string applicationSupportDirectory();

} // namespace services
