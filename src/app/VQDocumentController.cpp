#include "app/VQDocumentController.h"

#include "app/MainMenu.h"
#include "app/MyDocument.h"
#include "editor/RivorezIduvivViewController.h"
#include "platform/foundation/NotificationCenter.h"
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
  (void)display;  // the one window is always shown
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

void VQDocumentController::applicationWillFinishLaunching() {
  services::KXStatistics::start();
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
