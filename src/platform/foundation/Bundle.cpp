#include "platform/foundation/Bundle.h"

#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <system_error>

namespace foundation {

namespace fs = std::filesystem;

namespace {

std::string mainBundlePath() {
    if (const char* env = std::getenv("OPALENE_RESOURCES"); env && *env) return env;
    static const std::string beside = [] {
        std::error_code ec;
        fs::path exe = fs::read_symlink("/proc/self/exe", ec);
        if (ec) return std::string("share/opalene");
        return (exe.parent_path().parent_path() / "share" / "opalene").string();
    }();
    return beside;
}

// One bundle per folder for the process's life, so a reference handed out stays valid when the
// folder named by OPALENE_RESOURCES changes (test programs point it at folders of their own).
const Bundle& bundleAt(const std::string& path) {
    static std::mutex mutex;
    static std::map<std::string, Bundle> bundles;
    std::lock_guard lock(mutex);
    return bundles.try_emplace(path, path).first->second;
}

} // namespace

const Bundle& Bundle::mainBundle() {
    return bundleAt(mainBundlePath());
}

const Bundle& Bundle::sharedBundle() {
    return bundleAt((fs::path(mainBundlePath()) / "Textures.bundle").string());
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
