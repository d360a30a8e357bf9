// The editor as the target of the menu bar: the rule that enables each command, the backgrounds,
// the program's own full screen and the small commands behind the menus.
#include "controls/KXButton.h"
#include "controls/KXShareViewController.h"
#include "controls/SharedBundle.h"
#include "editor/BatchImageProcessor.h"
#include "editor/RivorezIduvivViewController.h"
#include "engine/CustomPresetsManager.h"
#include "engine/PostProcess.h"
#include "engine/PostProcessesManager.h"
#include "imageview/DrawingToolbarController.h"
#include "imageview/KXImageView.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/services/KXSLocalization.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMainWindow>
#include <QMessageBox>
#include <QUrl>
#include <array>
#include <set>

namespace {

constexpr const char* kBackgroundKey = "kBackgroundPopoverSelectedCellKey";

struct Background {
    const char* name;
    const char* image;
};
constexpr std::array<Background, RivorezIduvivViewController::kBackgroundCount> kBackgrounds{{
    {"Dark Gray", "back_dark_grey"},
    {"Gray", "back_grey"},
    {"Medium Gray", "back_medium_grey"},
    {"Light Gray", "back_light_grey"},
}};

QString localized(const char* key) {
    return QString::fromStdString(services::KXSLocalization::localizedStringForKey(key, ""));
}

bool buttonEnabled(const KXButton* button) {
    return button && button->isEnabled();
}

// Commands the editor carries itself; everything else comes through `menuCommands`.
const std::set<std::string>& ownCommands() {
    static const std::set<std::string> commands = {"buttonUndoClick:",
                                                   "buttonRedoClick:",
                                                   "fxToolButtonClick:",
                                                   "openImage:",
                                                   "saveImage:",
                                                   "saveMenuItemClick:",
                                                   "revertImageToOriginal:",
                                                   "toggleFullScreen:",
                                                   "enterFullScreenMode:",
                                                   "onBackgroundMenuItemClick:",
                                                   "supportMenuItemClick:",
                                                   "aboutMenuItemClick:"};
    return commands;
}

} // namespace

// ---- Validation

bool RivorezIduvivViewController::validateUserInterfaceItem(UserInterfaceItem& item) {
    const std::string& action = item.action;
    static const std::set<std::string> alwaysOn = {
        "closeApplication:",   "otherProductsMenuItemClick:", "allProductsMenuItemClick:",
        "cropHelpVideoClick:", "aboutMenuItemClick:",         "supportMenuItemClick:",
        "installPlugins:"};
    if (alwaysOn.count(action)) return true;

    if (_isDisabledInteraction) {
        if (action == "toggleFullScreen:") return true;
        if (splashViewIsShown && splashViewIsShown()) {
            if (action == "paste:") return this->pasteboardReadable();
            return action == "openImage:" || action == "importItemClick:" || action == "recentItemClick:";
        }
        return false;
    }

    auto hookEnabled = [this](const std::string& name) {
        auto found = menuCommands.find(name);
        return found != menuCommands.end() && found->second.enabled && found->second.enabled();
    };
    static const std::set<std::string> zoom = {
        "zoomInClick:", "zoomOutClick:", "zoomToActualSizeClick:", "zoomToFitClick:"};
    if (zoom.count(action)) return hookEnabled(action);
    if (action == "buttonUndoClick:") return buttonEnabled(_undoButton);
    if (action == "buttonRedoClick:") return buttonEnabled(_redoButton);
    if (action == "buttonCompareClick:") return buttonEnabled(_compareButton);
    if (action == "fxToolButtonClick:") return buttonEnabled(_fxToolButton);
    if (action == "buttonCropClick:") return buttonEnabled(_cropToolButton);
    if (action == "enterRotationMode:") return buttonEnabled(_rotateToolButton);
    if (action == "buttonAdjustClick:") return buttonEnabled(_adjustButton);
    if (action == "buttonShareClick:") return buttonEnabled(_shareButton);

    static const std::set<std::string> always = {"helpMenuItemClick:",
                                                 "enterFullScreenMode:",
                                                 "showDockline:",
                                                 "restorePresetsClick:",
                                                 "openImage:",
                                                 "saveImage:",
                                                 "exportToBrellin:",
                                                 "exportToVarnoc:",
                                                 "importItemClick:",
                                                 "recentItemClick:",
                                                 "preferencesMenuItemClick:",
                                                 "acknowledgementsMenuItemClick:",
                                                 "toggleFullScreen:",
                                                 "revertImageToOriginal:",
                                                 "batchProcessingButtonPressed:"};
    if (always.count(action)) return true;
    if (action == "onBackgroundMenuItemClick:") {
        item.state = getStateForBackgroundWithIndex(int(item.tag));
        return true;
    }
    if (action == "paste:") return this->pasteboardReadable();
    if (action == "copy:") return _tool == kBrowser && _image != nullptr;
    if (action == "backupPresetsClick:")
        return CustomPresetsManager::sharedCustomPresetsManager().presetsCount() > 0;
    if (action == "saveMenuItemClick:") return needSaveDocument() && buttonEnabled(_saveButton);
    // Whether another application is installed is its command's own question.
    static const std::set<std::string> exports = {
        "exportToIPhotoItemClick:", "exportToApertureItemClick:", "exportToPhotoshopItemClick:",
        "exportToPhotoshopElementsItemClick:", "exportToLightroomItemClick:"};
    if (exports.count(action)) return hookEnabled(action);
    if (action == "sharingItemClicked:") {
        auto found = menuCommands.find(action);
        return found == menuCommands.end() || !found->second.enabled || found->second.enabled();
    }
    if (action == "showLayerMaskClick:" || action == "invertLayerMaskClick:" ||
        action == "clearLayerMaskClick:")
        return _tool == kPainter;
    return false;
}

// Asking the clipboard may wait on another program: the answer is kept until the clipboard changes.
bool RivorezIduvivViewController::pasteboardReadable() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!_watchingClipboard) {
        _watchingClipboard = true;
        QObject::connect(clipboard, &QClipboard::dataChanged, this, [this] { _pasteboardReadable.reset(); });
    }
    if (!_pasteboardReadable) _pasteboardReadable = canReadDataFromPasteboard(clipboard->mimeData());
    return *_pasteboardReadable;
}

bool RivorezIduvivViewController::respondsToMenuAction(const std::string& action) const {
    if (ownCommands().count(action)) return true;
    auto found = menuCommands.find(action);
    return found != menuCommands.end() && found->second.run;
}

bool RivorezIduvivViewController::performMenuAction(const std::string& action, int64_t tag) {
    // Checked again here: a shortcut may come before anything refreshed the menus.
    UserInterfaceItem item{action, tag, 0};
    if (!respondsToMenuAction(action) || !validateUserInterfaceItem(item)) return false;
    if (action == "buttonUndoClick:")
        buttonUndoClick();
    else if (action == "buttonRedoClick:")
        buttonRedoClick();
    else if (action == "fxToolButtonClick:")
        fxToolButtonClick();
    else if (action == "openImage:")
        openImage();
    else if (action == "saveImage:")
        saveImage();
    else if (action == "saveMenuItemClick:")
        saveMenuItemClick();
    else if (action == "revertImageToOriginal:")
        revertImageToOriginal();
    else if (action == "toggleFullScreen:" || action == "enterFullScreenMode:")
        enterFullScreenMode();
    else if (action == "onBackgroundMenuItemClick:")
        onBackgroundMenuItemClick(tag);
    else if (action == "supportMenuItemClick:")
        supportMenuItemClick();
    else if (action == "aboutMenuItemClick:")
        aboutMenuItemClick();
    else
        menuCommands.at(action).run();
    return true;
}

// The commands of the editor's other parts, as the menus reach them.
void RivorezIduvivViewController::wireMenuCommands() {
    const auto button = [](KXButton* const& b) { return [&b] { return b && b->isEnabled(); }; };
    menuCommands["copy:"] = {[this] { copy(); }, nullptr};
    menuCommands["paste:"] = {[this] { paste(); }, nullptr};
    menuCommands["buttonCropClick:"] = {[this] { buttonCropClick(); }, nullptr};
    menuCommands["enterRotationMode:"] = {[this] { enterRotationMode(); }, nullptr};
    menuCommands["buttonAdjustClick:"] = {[this] { buttonAdjustClick(); }, nullptr};
    menuCommands["buttonCompareClick:"] = {[this] { emit _compareButton->clicked(); }, nullptr};
    menuCommands["zoomInClick:"] = {[this] { zoomInClick(); }, button(_zoomInButton)};
    menuCommands["zoomOutClick:"] = {[this] { zoomOutClick(); }, button(_zoomOutButton)};
    menuCommands["zoomToActualSizeClick:"] = {[this] { zoomToActualSizeClick(); }, button(_actualSizeButton)};
    menuCommands["zoomToFitClick:"] = {[this] { zoomToFitClick(); }, button(_fitToScreenButton)};
    menuCommands["buttonShareClick:"] = {[this] { buttonShareClick(); }, nullptr};
    menuCommands["batchProcessingButtonPressed:"] = {[this] { batchProcessingButtonPressed(); }, nullptr};
    menuCommands["backupPresetsClick:"] = {[this] { backupPresetsClick(); }, nullptr};
    menuCommands["restorePresetsClick:"] = {[this] { restorePresetsClick(); }, nullptr};
    menuCommands["showLayerMaskClick:"] = {[this] {
                                               if (_drawingToolbar) _drawingToolbar->showMaskButtonClick();
                                           },
                                           nullptr};
    menuCommands["invertLayerMaskClick:"] = {[this] {
                                                 if (_drawingToolbar)
                                                     _drawingToolbar->invertMaskButtonClick();
                                             },
                                             nullptr};
    connect(_shareButton, &QAbstractButton::clicked, this, [this] { buttonShareClick(); });
    menuCommands["clearLayerMaskClick:"] = {[this] {
                                                if (_drawingToolbar) _drawingToolbar->clearMaskButtonClick();
                                            },
                                            nullptr};
}

// The batch window is made once and kept, so its inputs and choices survive between runs.
void RivorezIduvivViewController::batchProcessingButtonPressed() {
    if (!_batchProcessing) _batchProcessing = new KXBatchProcessing(_window.get());
    BatchImageProcessor::batchProcessingButtonPressed(_window.get(), *_batchProcessing, _selectedPostProcess,
                                                      _selectedPreset);
}

// The share popover under the Share button.
void RivorezIduvivViewController::buttonShareClick() {
    if (!canShare()) return;
    _shareButton->setState(1);
    shareViewController()->showFromView(_shareButton);
}

// ---- Backgrounds

std::string RivorezIduvivViewController::backgroundName(int index) {
    return index >= 0 && index < kBackgroundCount ? kBackgrounds[index].name : "";
}

std::string RivorezIduvivViewController::backgroundImageName(int index) {
    return index >= 0 && index < kBackgroundCount ? kBackgrounds[index].image : "";
}

int RivorezIduvivViewController::selectedBackgroundIndex() {
    const int64_t stored = foundation::UserDefaults::standardUserDefaults().integerForKey(kBackgroundKey);
    return stored >= 0 && stored < kBackgroundCount ? int(stored) : 0;
}

QBrush RivorezIduvivViewController::getBackgroundColorForIndex(int index) {
    if (index < 0 || index >= kBackgroundCount) return QBrush();
    const QImage tile = imageNamedAdditional(kBackgrounds[index].image);
    return tile.isNull() ? QBrush() : QBrush(tile);
}

void RivorezIduvivViewController::validateBackgroundForIndex(int index) {
    const QBrush brush = getBackgroundColorForIndex(index);
    if (brush.style() == Qt::NoBrush) return;
    for (QWidget* view : {_backgroundView, static_cast<QWidget*>(_imageView)}) {
        QPalette palette = view->palette();
        palette.setBrush(QPalette::Window, brush);
        view->setPalette(palette);
        view->setAutoFillBackground(true);
        view->update();
    }
}

void RivorezIduvivViewController::onBackgroundMenuItemClick(int64_t tag) {
    if (tag < 0 || tag >= kBackgroundCount) return;
    auto& defaults = foundation::UserDefaults::standardUserDefaults();
    defaults.setInteger(tag, kBackgroundKey);
    defaults.synchronize();
    validateBackgroundForIndex(int(tag));
}

// ---- Full screen

void RivorezIduvivViewController::showTitleForPath(const std::string& path, const QString& untitled) {
    const QString title =
        path.empty() ? untitled + "[*]" : QFileInfo(QString::fromStdString(path)).fileName() + "[*]";
    if (_fullScreenSaved) {
        _fullScreenSaved->path = path;
        _fullScreenSaved->title = title;
        return;
    }
    _window->setWindowTitle(title);
    _window->setWindowFilePath(QString::fromStdString(path));
}

// One saved state holds the file as a path (or none) and the title to show; the edited mark is
// the window's own and outlives full screen, so work done meanwhile still counts as unsaved.
void RivorezIduvivViewController::enterFullScreenMode() {
    fullScreen = !fullScreen;
    if (fullScreen) {
        _fullScreenSaved = FullScreenSaved{_window->saveGeometry(), _window->windowFilePath().toStdString(),
                                           _window->windowTitle()};
        setWindowFullScreen(true);
        _window->raise();
        _window->activateWindow();
        _fullScreenButton->setState(1);
    } else {
        FullScreenSaved saved = _fullScreenSaved ? std::move(*_fullScreenSaved) : FullScreenSaved{};
        _fullScreenSaved.reset();
        _fullScreenButton->setState(0);
        setWindowFullScreen(false);
        if (!saved.geometry.isEmpty()) _window->restoreGeometry(saved.geometry);
        if (!saved.title.isEmpty()) _window->setWindowTitle(saved.title);
        _window->setWindowFilePath(QString::fromStdString(saved.path));
        _window->activateWindow();
    }
    layoutContent();
}

// ---- Small commands

void RivorezIduvivViewController::supportMenuItemClick() {
    const std::string url = services::KXSLocalization::localizedStringForKey("kStringSupportLink", "");
    if (openURL)
        openURL(url);
    else
        QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}

void RivorezIduvivViewController::aboutMenuItemClick() {
    auto* about = new QMessageBox(QMessageBox::NoIcon, localized("About Opalene"),
                                  QString("Opalene %1").arg(QCoreApplication::applicationVersion()),
                                  QMessageBox::Ok, _window.get());
    about->setObjectName("aboutWindow");
    about->setInformativeText(localized("A photo-effects editor."));
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->open();
}

void RivorezIduvivViewController::preferencesDidClose() {
    _validateDoubleClickActionParameter();
    if (!::validatePreviewQualityParametr()) return;
    PostProcessesManager::sharedPostProcessesManager().cleanWorkingImage();
    // The adjustments' own preview follows when that tool renders one.
    if (_tool == kParameters) reloadPreview();
}
