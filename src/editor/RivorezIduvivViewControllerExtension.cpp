// What the editor does differently inside the photo library's editing extension.
#include "editor/RivorezIduvivViewController.h"

#include "platform/foundation/UserDefaults.h"
#include "platform/services/ExtensionBuild.h"

namespace {
constexpr const char* kCountOfSavingsKey = "PictavoCountOfSavingsIntegerValue";
constexpr const char* kNeverShowReviewKey = "PictavoNeverShowReviewAppBoolValue";
} // namespace

// Only a file actually written counts: a save that wrote nothing is no reason to ask for a review.
void RivorezIduvivViewController::countSaveInExtension() {
    if (!services::ExtensionBuild::isOn()) return;
    auto& defaults = foundation::UserDefaults::standardUserDefaults();
    if (defaults.boolForKey(kNeverShowReviewKey)) return;
    defaults.setInteger(defaults.integerForKey(kCountOfSavingsKey) + 1, kCountOfSavingsKey);
    defaults.synchronize();
}
