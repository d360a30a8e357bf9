#include "platform/services/ExtensionBuild.h"

#include <atomic>

namespace services {

namespace {
std::atomic<bool> extensionBuild{false};
}

bool ExtensionBuild::isOn() {
    return extensionBuild.load();
}

void ExtensionBuild::setOn(bool on) {
    extensionBuild.store(on);
}

} // namespace services
