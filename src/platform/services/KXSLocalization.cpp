#include "platform/services/KXSLocalization.h"

#include <string_view>
#include <unordered_map>

namespace services {

namespace {

// Only identifiers need an entry: English keys already are their text.
const std::unordered_map<std::string_view, std::string_view>& englishTable() {
    static const std::unordered_map<std::string_view, std::string_view> table = {
        {"kStringAddPresetDialogTitle", "Save the applied effects as a preset"},
        {"kStringAlertTextCantAddPreset", "Apply at least one effect before saving a preset."},
        {"kStringBackupPresetsFailedAlertText", "The presets cannot be backed up."},
        {"kStringBackupPresetsFailedAlertAdditionalText",
         "The backup file cannot be written there. Choose another folder or name."},
        {"kStringCantOpenImageAlertText", "The image cannot be opened."},
        {"kStringCantOpenImageAlertInfo", "The file is damaged or is not an image this program can read."},
        {"kStringInfoLabelHaveNotFavorites", "No favourite effects yet"},
        {"kStringInfoLabelHaveNotFrames", "No favourite frames yet"},
        {"kStringNoFilterSelected", "Select an effect or a preset first."},
        {"kStringNoIntersectionAlertText", "The image cannot be cropped."},
        {"kCropBigSizeInfoString",
         "The cropped image may hold at most 16 megapixels. Make the crop area smaller and try again."},
        {"kStringPresetWithNameExistsAlertText", "A preset with this name already exists."},
        {"kStringPresetWithNoNameAlertText", "Enter a name for the preset."},
        {"kStringReplacingPresetsAlertText", "Replace your presets?"},
        {"kStringReplacingPresetsAlertAdditionalText",
         "The imported presets replace all your current presets."},
        {"kStringRestorePresetsFailedAlertText", "The presets cannot be restored."},
        {"kStringRestorePresetsFailedAlertAdditionalText",
         "The file is damaged or is not a presets backup. Your presets are unchanged."},
        {"kStringRevertToOriginalMessageAlertText", "Revert to the original image?"},
        {"kStringRevertToOriginalAdditionalAlertText", "All applied effects will be lost."},
        {"kStringSaveDialogText", "Do you want to save the changes to this image?"},
        {"kStringSaveDialogAdditionalText", "Your changes will be lost if you don't save them."},
        {"kStringSupportLink", "https://opalene.example/support"},
        // "%@": the size limit in megapixels.
        {"kStringWaitingResizeAutomaticallyImage",
         "The image is larger than %@ megapixels. Please wait while it is reduced to that size."},
    };
    return table;
}

} // namespace

std::string KXSLocalization::localizedStringForKey(const std::string& key, const std::string& /*comment*/) {
    const auto& table = englishTable();
    auto it = table.find(key);
    return it == table.end() ? key : std::string(it->second);
}

} // namespace services
