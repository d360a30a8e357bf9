#pragma once

// Where the program keeps the user's files. Both folders are created when asked for; a folder
// that cannot be created is reported on standard error and its path still returned, so the
// write that follows fails with its own error.

#include <string>

namespace foundation {

// OPALENE_DATA_DIR, else $XDG_DATA_HOME/opalene (default ~/.local/share/opalene): presets.
std::string applicationSupportDirectory();
// OPALENE_CONFIG_DIR, else $XDG_CONFIG_HOME/opalene (default ~/.config/opalene): user defaults.
std::string configurationDirectory();

} // namespace foundation
