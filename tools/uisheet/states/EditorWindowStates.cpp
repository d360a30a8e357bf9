// The editor window at its opening size: a photo in the image view over the effect browser, and
// the same with a look previewed and its parameter toolbar, and that look being applied.
#include "UiSheetRegistry.h"
#include "controls/ImageAdditional.h"
#include "editor/ProgressViewController.h"
#include "editor/RivorezIduvivViewController.h"
#include "editor/SelectPostProcessViewController.h"
#include "controls/KXButton.h"
#include "engine/PostProcessesManager.h"
#include "imageview/KXImageView.h"
#include "platform/foundation/UndoManager.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>

namespace {

// The controller owns its window; the host keeps both for the sheet and goes after them.
struct EditorHost : QWidget {
  foundation::UndoManager undo;
  std::unique_ptr<RivorezIduvivViewController> editor;
};

std::unique_ptr<QWidget> editorWindow(const QImage& photo) {
  auto host = std::make_unique<EditorHost>();
  host->resize(1440, 900);
  host->editor = std::make_unique<RivorezIduvivViewController>(&host->undo);
  QMainWindow* window = host->editor->window();
  window->setParent(host.get(), Qt::Widget);
  window->setGeometry(0, 0, 1440, 900);
  host->editor->openNewImage(ImageAdditional::fromQImage(photo), "Photo");
  return host;
}

void settleUntil(const std::function<bool()>& done, int milliseconds) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < milliseconds) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

RivorezIduvivViewController& editorOf(QWidget& widget) { return *static_cast<EditorHost&>(widget).editor; }

OPALENE_UISHEET_STATE("editor_window_photo", editorWindow, [](QWidget& widget) {
  editorOf(widget).imageView()->zoomToFitAnimated(false);
  settleUntil([] { return false; }, 1500);  // thumbnails of the strip
});

OPALENE_UISHEET_STATE("editor_window_look_previewed", editorWindow, [](QWidget& widget) {
  RivorezIduvivViewController& editor = editorOf(widget);
  editor.selectPostProcess(PostProcessesManager::sharedPostProcessesManager().postProcessWithName("Cool Blue"));
  settleUntil([&] { return editor.imageView()->previewImage() != nullptr; }, 15000);
  settleUntil([] { return false; }, 1500);
});

OPALENE_UISHEET_STATE("editor_window_applying", editorWindow, [](QWidget& widget) {
  RivorezIduvivViewController& editor = editorOf(widget);
  editor.selectPostProcess(PostProcessesManager::sharedPostProcessesManager().postProcessWithName("Cool Blue"));
  settleUntil([&] { return editor.imageView()->previewImage() != nullptr; }, 15000);
  editor.generateImageForSelectedPostProcessOrPreset();
  // Held mid-run for the picture: the render is stopped behind the panel, which stays.
  PostProcessesManager::sharedPostProcessesManager().cancelGeneratingImage();
  if (ProgressViewController* panel = editor.progressViewController()) panel->updateProgress(45);
  settleUntil([] { return false; }, 800);
});

OPALENE_UISHEET_STATE("editor_window_category_list", editorWindow, [](QWidget& widget) {
  RivorezIduvivViewController& editor = editorOf(widget);
  editor.imageView()->zoomToFitAnimated(false);
  editor.selectPostProcessViewController()->categoriesPopupButton()->click();
  settleUntil([] { return false; }, 1500);
});

}  // namespace
