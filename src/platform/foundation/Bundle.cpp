#include "platform/foundation/Bundle.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace foundation {

namespace fs = std::filesystem;

namespace {

std::string mainBundlePath() {
    if (const char* env = std::getenv("OPALENE_RESOURCES"); env && *env) return env;
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return "share/opalene";
    return (exe.parent_path().parent_path() / "share" / "opalene").string();
}

} // namespace

const Bundle& Bundle::mainBundle() {
    static const Bundle bundle(mainBundlePath());
    return bundle;
}

const Bundle& Bundle::sharedBundle() {
    static const Bundle bundle((fs::path(mainBundle().bundlePath()) / "Textures.bundle").string());
    return bundle;
}

std::string Bundle::pathForResourceOfType(const std::string& name, const std::string& type) const {
    if (name.empty() || path_.empty()) return {};
    fs::path p = fs::path(path_) / (type.empty() ? name : name + "." + type);
    std::error_code ec;
    return fs::exists(p, ec) ? p.string() : std::string();
}

std::string Bundle::pathForResource(const std::string& name, const std::string& type) {
    std::string path = mainBundle().pathForResourceOfType(name, type);
    return path.empty() ? sharedBundle().pathForResourceOfType(name, type) : path;
}

std::string Bundle::pathForImageResource(const std::string& name) {
    std::string path = pathForResource(name, "jpg");
    return path.empty() ? pathForResource(name, "png") : path;
}

} // namespace foundation
