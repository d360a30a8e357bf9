#include "app/VQDocumentController.h"

#include "app/MainMenu.h"
#include "app/MyDocument.h"
#include "editor/RivorezIduvivViewController.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/services/KXAnalytics.h"
#include "platform/services/KXSPluginModeManager.h"
#include "platform/services/KXServiceUtils.h"
#include "platform/services/KXStatistics.h"

#include <QApplication>
#include <QMainWindow>

VQDocumentController::VQDocumentController() = default;
VQDocumentController::~VQDocumentController() = default;

RivorezIduvivViewController* VQDocumentController::currentDocumentController() const {
    return _document ? _document->rivorezIduvivViewController() : nullptr;
}

MyDocument* VQDocumentController::openDocumentWithContentsOfURL(const std::string& path, bool display,
                                                                std::string* error) {
    (void)display; // the one window is always shown
    if (!_document) {
        _document = std::make_unique<MyDocument>();
        _document->makeWindowControllers();
    }
    _document->showWindows();
    if (path.empty()) {
        if (error) *error = "No file given";
        return _document.get();
    }
    _document->rivorezIduvivViewController()->openWithSavingCurrentImageURL(path);
    return _document.get();
}

RivorezIduvivViewController* VQDocumentController::openUntitledDocumentAndDisplay(bool display) {
    if (_document) return currentDocumentController();
    _document = std::make_unique<MyDocument>();
    _document->makeWindowControllers();
    if (display) _document->showWindows();
    return currentDocumentController();
}

void VQDocumentController::openDocument() {
    if (_document)
        currentDocumentController()->openImage();
    else
        openUntitledDocumentAndDisplay(true);
}

std::string VQDocumentController::pluginModeLabel() {
    const services::KXSPluginModeManager& manager = services::KXSPluginModeManager::sharedManager();
    if (!manager.isPluginMode()) return "Standalone";
    switch (manager.pluginOwner()) {
    case 2:
        return "Plugin Aperture";
    case 1:
        return "Plugin Adobe Photoshop";
    default:
        return "Plugin Lightroom";
    }
}

void VQDocumentController::applicationWillFinishLaunching() {
    services::KXStatistics::start();
    services::KXAnalytics::analyticsScope({"Google"});
    services::KXAnalytics::trackEventWithUserInfo({{"screen", foundation::Value("Init")},
                                                   {"category", foundation::Value("Init")},
                                                   {"action", foundation::Value(pluginModeLabel())},
                                                   {"label", foundation::Value(" ")},
                                                   {"value", foundation::Value(int64_t(0))}});
    services::KXServiceUtils::reportAsRun();
}

void VQDocumentController::applicationDidFinishLaunching() {
    if (!_mainMenu && currentDocumentController()) {
        _mainMenu = std::make_unique<MainMenu>(*this);
        _mainMenu->configureHelpMenu();
    }
}

bool VQDocumentController::applicationShouldTerminate() {
    foundation::NotificationCenter::defaultCenter().postNotificationName(KXApplicationShouldTerminate);
    RivorezIduvivViewController* editor = currentDocumentController();
    if (!editor) return true;
    QWidget* modal = QApplication::activeModalWidget();
    if ((!editor->isDocumentEdited() || _noNeedSaveDocument) && modal == editor->window()) return true;
    editor->closeDocumentWithSaving();
    return false;
}
