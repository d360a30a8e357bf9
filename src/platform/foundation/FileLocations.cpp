#include "platform/foundation/FileLocations.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <system_error>
#include <unistd.h>

namespace foundation {

namespace fs = std::filesystem;

namespace {

std::string homeDirectory() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return "/tmp";
}

// overrideVar names the folder itself; xdgVar its parent, which the XDG rules ignore when relative.
std::string userFolder(const char* overrideVar, const char* xdgVar, const char* homeFallback) {
    fs::path dir;
    if (const char* o = std::getenv(overrideVar); o && *o) {
        dir = o;
    } else {
        const char* x = std::getenv(xdgVar);
        fs::path base = (x && *x == '/') ? fs::path(x) : fs::path(homeDirectory()) / homeFallback;
        dir = base / "opalene";
    }
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec) std::fprintf(stderr, "opalene: cannot create folder %s: %s\n", dir.c_str(), ec.message().c_str());
    return dir.string();
}

} // namespace

std::string applicationSupportDirectory() {
    return userFolder("OPALENE_DATA_DIR", "XDG_DATA_HOME", ".local/share");
}

std::string configurationDirectory() {
    return userFolder("OPALENE_CONFIG_DIR", "XDG_CONFIG_HOME", ".config");
}

} // namespace foundation
