// Handing the working image to other applications, and backing up and restoring the presets.
#include "editor/RivorezIduvivViewController.h"

#include "editor/SelectPostProcessViewController.h"
#include "engine/CustomPresetsManager.h"
#include "engine/PostProcess.h"
#include "platform/appkit/Alert.h"
#include "platform/appkit/Workspace.h"
#include "platform/foundation/MainQueue.h"
#include "platform/services/KXSLocalization.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMainWindow>
#include <QPointer>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

std::string localized(const char* key) {
    return services::KXSLocalization::localizedStringForKey(key, "");
}

constexpr const char* kPhotoshopIdentifier = "com.adobe.Photoshop";
constexpr const char* kPhotoshopElementsIdentifier = "com.adobe.PhotoshopElements";
constexpr const char* kLightroomIdentifiers[] = {"com.adobe.Lightroom5", "com.adobe.Lightroom4",
                                                 "com.adobe.Lightroom3"};
// The professional edition first.
constexpr const char* kBrellinIdentifiers[] = {"com.quillot.BrellinPro", "com.quillot.Brellin"};
constexpr const char* kVarnocIdentifiers[] = {"com.quillot.VarnocPro", "com.quillot.Varnoc"};
constexpr const char* kBrellinStorePage = "https://quillot.example/brellin";
constexpr const char* kVarnocStorePage = "https://quillot.example/varnoc";
constexpr const char* kIPhotoIdentifier = "com.apple.iPhoto";
constexpr const char* kApertureIdentifier = "com.apple.Aperture";

template <size_t N> std::string firstInstalled(const char* const (&identifiers)[N]) {
    for (const char* identifier : identifiers)
        if (appkit::Workspace::isApplicationInstalled(identifier)) return identifier;
    return {};
}

std::string temporaryFolder() {
    std::error_code ec;
    const fs::path folder = fs::temp_directory_path(ec);
    return ec ? std::string("/tmp") : folder.string();
}

} // namespace

bool RivorezIduvivViewController::needApplyCurrentPostProcessOrPreset() const {
    switch (_tool) {
    case kParameters:
        return _selectedPreset || (_selectedPostProcess && !_selectedPostProcess->isFrame());
    case kAdjust:
        return _selectedPostProcess != nullptr;
    case kPainter:
        return true;
    default:
        return false;
    }
}

std::function<void()> RivorezIduvivViewController::exportActionForName(const std::string& name) {
    if (name == "Adobe Photoshop") return [this] { exportToPhotoshop(); };
    if (name == "Adobe Photoshop Elements") return [this] { exportToPhotoshopElements(); };
    if (name == "Adobe Lightroom") return [this] { exportToLightroom(); };
    if (name == "Brellin") return [this] { exportToBrellin(); };
    if (name == "Varnoc") return [this] { exportToVarnoc(); };
    if (name == "Dockline") return [this] { exportToDockline(); };
    return nullptr;
}

void RivorezIduvivViewController::preExportToApplicationWithName(const std::string& name) {
    _exportPath.clear();
    std::function<void()> action = exportActionForName(name);
    if (!action || !_image) return;
    if (!needSaveDocument() && _imageUTType == "public.tiff") {
        _exportPath = _representedFilename;
        action();
        return;
    }
    _additionalSelectorAfterSaving = std::move(action);
    saveExportedImage();
}

const std::string& RivorezIduvivViewController::exportPath() {
    if (!_exportPath.empty()) return _exportPath;
    std::string base = fs::path(_representedFilename).filename().stem().string();
    if (base.empty()) base = "Untitled";
    const fs::path folder(temporaryFolder());
    fs::path path = folder / (base + ".tiff");
    std::error_code ec;
    for (long n = 2; fs::exists(path, ec) || fs::is_symlink(path, ec); ++n)
        path = folder / (base + " " + std::to_string(n) + ".tiff");
    _exportPath = path.string();
    return _exportPath;
}

void RivorezIduvivViewController::saveExportedImage() {
    if (needApplyCurrentPostProcessOrPreset()) {
        _continueAfterApplyingSelector = [this] { saveExportedImage(); };
        generateImageForSelectedPostProcessOrPreset();
        return;
    }
    // The export waited on this copy only: a later save of the photo must not start it.
    if (!saveImageAtPath(exportPath(), "public.tiff", _imageProperties, true))
        _additionalSelectorAfterSaving = nullptr;
}

void RivorezIduvivViewController::showExportAlert(const std::string& message,
                                                  const std::string& informative) {
    appkit::Alert::alertWithMessageText(message, localized("OK"), "", "", informative)
        .beginSheetModalForWindow(_window.get(), [](int) {});
}

// A hand-over that did not start is said, not passed over in silence.
void RivorezIduvivViewController::openExportedIn(const std::string& identifier, const char* title) {
    if (identifier.empty()) return;
    if (!appkit::Workspace::openFile(exportPath(), identifier))
        showExportAlert(QString::fromStdString(localized("The photo cannot be opened in %@."))
                            .replace("%@", QString::fromStdString(localized(title)))
                            .toStdString(),
                        "");
}

void RivorezIduvivViewController::exportToPhotoshop() {
    openExportedIn(kPhotoshopIdentifier, "Adobe Photoshop");
}

void RivorezIduvivViewController::exportToPhotoshopElements() {
    openExportedIn(kPhotoshopElementsIdentifier, "Adobe Photoshop Elements");
}

void RivorezIduvivViewController::exportToLightroom() {
    openExportedIn(availableLightroomIdentifier(), "Adobe Lightroom");
}

void RivorezIduvivViewController::exportToBrellin() {
    openExportedIn(availableBrellinIdentifier(), "Brellin");
}

void RivorezIduvivViewController::exportToVarnoc() {
    openExportedIn(availableVarnocIdentifier(), "Varnoc");
}

void RivorezIduvivViewController::exportToDockline() {
    std::function<void(const std::string&)> block = std::move(_docklinePrepareBlock);
    _docklinePrepareBlock = nullptr;
    if (block) block(exportPath());
}

std::string RivorezIduvivViewController::availableBrellinIdentifier() {
    return firstInstalled(kBrellinIdentifiers);
}
std::string RivorezIduvivViewController::availableVarnocIdentifier() {
    return firstInstalled(kVarnocIdentifiers);
}
std::string RivorezIduvivViewController::availableLightroomIdentifier() {
    return firstInstalled(kLightroomIdentifiers);
}

void RivorezIduvivViewController::exportToPhotoshopItemClick(const std::string& title) {
    preExportToApplicationWithName(title);
}
void RivorezIduvivViewController::exportToPhotoshopElementsItemClick(const std::string& title) {
    preExportToApplicationWithName(title);
}
void RivorezIduvivViewController::exportToLightroomItemClick(const std::string& title) {
    preExportToApplicationWithName(title);
}

void RivorezIduvivViewController::exportToBrellin(const std::string& title) {
    if (availableBrellinIdentifier().empty())
        appkit::Workspace::openURL(kBrellinStorePage);
    else
        preExportToApplicationWithName(title);
}

void RivorezIduvivViewController::exportToVarnoc(const std::string& title) {
    if (availableVarnocIdentifier().empty())
        appkit::Workspace::openURL(kVarnocStorePage);
    else
        preExportToApplicationWithName(title);
}

void RivorezIduvivViewController::exportToIPhotoItemClick() {
    if (needApplyCurrentPostProcessOrPreset()) {
        _continueAfterApplyingSelector = [this] { exportToIPhotoItemClick(); };
        generateImageForSelectedPostProcessOrPreset();
        return;
    }
    std::string error;
    if (photoLibraryExport && !photoLibraryExport(kIPhotoIdentifier, _image, _imageProperties, &error) &&
        !error.empty())
        showExportAlert(error, "");
}

void RivorezIduvivViewController::exportToApertureItemClick() {
    if (needApplyCurrentPostProcessOrPreset()) {
        _continueAfterApplyingSelector = [this] { exportToApertureItemClick(); };
        generateImageForSelectedPostProcessOrPreset();
        return;
    }
    std::string error;
    if (photoLibraryExport && !photoLibraryExport(kApertureIdentifier, _image, _imageProperties, &error) &&
        !error.empty())
        showExportAlert(error, "");
}

// ---- Preset backup

void RivorezIduvivViewController::backupPresetsClick() {
    auto* panel = new QFileDialog(_window.get(), QString::fromStdString(localized("Backup Presets")));
    panel->setObjectName("backupPanel");
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setAcceptMode(QFileDialog::AcceptSave);
    panel->setOption(QFileDialog::DontUseNativeDialog);
    panel->selectFile("presets.backup");
    QObject::connect(panel, &QFileDialog::fileSelected, this,
                     [this](const QString& file) { saveBackupPanelDidEnd(1, file.toStdString()); });
    panel->open();
}

void RivorezIduvivViewController::saveBackupPanelDidEnd(int returnCode, const std::string& path) {
    if (returnCode != 1 || path.empty()) return;
    if (!CustomPresetsManager::sharedCustomPresetsManager().savePresetsAtPaht(path))
        showExportAlert(localized("kStringBackupPresetsFailedAlertText"),
                        localized("kStringBackupPresetsFailedAlertAdditionalText"));
}

void RivorezIduvivViewController::restorePresetsClick() {
    auto* panel = new QFileDialog(_window.get(), QString::fromStdString(localized("Restore Presets")));
    panel->setObjectName("restorePanel");
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setFileMode(QFileDialog::ExistingFile);
    panel->setNameFilter(QString::fromStdString(localized("Presets backup")) + " (*.backup)");
    panel->setOption(QFileDialog::DontUseNativeDialog);
    QObject::connect(panel, &QFileDialog::fileSelected, this,
                     [this](const QString& file) { openBackupPanelDidEnd(1, file.toStdString()); });
    panel->open();
}

void RivorezIduvivViewController::openBackupPanelDidEnd(int returnCode, const std::string& path) {
    if (returnCode != 1 || path.empty()) return;
    if (CustomPresetsManager::sharedCustomPresetsManager().presetsCount() == 0) {
        restorePresetsWithURL(path);
        return;
    }
    _savedURL = path;
    foundation::MainQueue::after(0, [guard = QPointer<QObject>(this), this] {
        if (guard) showReplacingPresetsAlert();
    });
}

void RivorezIduvivViewController::showReplacingPresetsAlert() {
    appkit::Alert::alertWithMessageText(localized("kStringReplacingPresetsAlertText"),
                                        localized("Replace..."), localized("Cancel"), "",
                                        localized("kStringReplacingPresetsAlertAdditionalText"))
        .beginSheetModalForWindow(_window.get(), [guard = QPointer<QObject>(this), this](int code) {
            if (guard) alertSavePresetsDidEnd(code);
        });
}

void RivorezIduvivViewController::alertSavePresetsDidEnd(int returnCode) {
    const std::string path = std::move(_savedURL);
    _savedURL.clear();
    if (returnCode == appkit::Alert::DefaultReturn) restorePresetsWithURL(path);
}

void RivorezIduvivViewController::restorePresetsWithURL(const std::string& path) {
    // The manager takes the whole file or nothing: a damaged or foreign one leaves the presets.
    if (!CustomPresetsManager::sharedCustomPresetsManager().restorePresetsFromPath(path)) {
        showExportAlert(localized("kStringRestorePresetsFailedAlertText"),
                        localized("kStringRestorePresetsFailedAlertAdditionalText"));
        return;
    }
    // The chosen preset belonged to the replaced list: leave its parameters.
    if (_selectedPreset) {
        if (_tool == kParameters) setTool(kBrowser);
        _selectedPreset = nullptr;
    }
    _selectPostProcessViewController->reloadEffectsTableView();
}
