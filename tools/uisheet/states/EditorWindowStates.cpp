// The editor window at its opening size: a photo in the image view over the effect browser, the
// same with a look previewed and its parameter toolbar, that look being applied, the category
// list open, and the window in each tool.
#include "UiSheetRegistry.h"
#include "controls/ImageAdditional.h"
#include "controls/KXButton.h"
#include "controls/KXSlider.h"
#include "editor/ProgressViewController.h"
#include "editor/RecentDocuments.h"
#include "editor/RivorezIduvivViewController.h"
#include "editor/SelectPostProcessViewController.h"
#include "editor/SuperFilterToolbarViewController.h"
#include "engine/PostProcessesManager.h"
#include "imageview/CIMicroPaintView.h"
#include "imageview/KXImageView.h"
#include "platform/foundation/UndoManager.h"

#include <QApplication>
#include <QDir>
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
    while (!done() && timer.elapsed() < milliseconds)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

RivorezIduvivViewController& editorOf(QWidget& widget) {
    return *static_cast<EditorHost&>(widget).editor;
}

OPALENE_UISHEET_STATE("editor_window_photo", editorWindow, [](QWidget& widget) {
    editorOf(widget).imageView()->zoomToFitAnimated(false);
    settleUntil([] { return false; }, 1500); // thumbnails of the strip
});

OPALENE_UISHEET_STATE("editor_window_look_previewed", editorWindow, [](QWidget& widget) {
    RivorezIduvivViewController& editor = editorOf(widget);
    editor.selectPostProcess(
        PostProcessesManager::sharedPostProcessesManager().postProcessWithName("Cool Blue"));
    settleUntil([&] { return editor.imageView()->previewImage() != nullptr; }, 15000);
    settleUntil([] { return false; }, 1500);
});

OPALENE_UISHEET_STATE("editor_window_applying", editorWindow, [](QWidget& widget) {
    RivorezIduvivViewController& editor = editorOf(widget);
    editor.selectPostProcess(
        PostProcessesManager::sharedPostProcessesManager().postProcessWithName("Cool Blue"));
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

// Each tool's window once its panel has slid in.
OPALENE_UISHEET_STATE("editor_window_tool_rotate", editorWindow, [](QWidget& widget) {
    editorOf(widget).enterRotationMode();
    settleUntil([] { return false; }, 1200);
});

OPALENE_UISHEET_STATE("editor_window_tool_crop", editorWindow, [](QWidget& widget) {
    editorOf(widget).buttonCropClick();
    settleUntil([] { return false; }, 1200);
});

OPALENE_UISHEET_STATE("editor_window_tool_adjustments", editorWindow, [](QWidget& widget) {
    editorOf(widget).buttonAdjustClick();
    settleUntil([] { return false; }, 1200);
});

// The adjustments with the saturation slider pulled down and its preview shown.
OPALENE_UISHEET_STATE("editor_window_adjustments_moved", editorWindow, [](QWidget& widget) {
    RivorezIduvivViewController& editor = editorOf(widget);
    editor.buttonAdjustClick();
    settleUntil([] { return false; }, 1200);
    if (SuperFilterToolbarViewController* toolbar = editor.superFilterToolbarController()) {
        KXSlider* saturation = toolbar->slider(SuperFilterToolbarViewController::kSaturationSlider);
        saturation->setDoubleValue(saturation->minValue() +
                                   0.1 * (saturation->maxValue() - saturation->minValue()));
        toolbar->sliderValueChanged(SuperFilterToolbarViewController::kSaturationSlider);
    }
    settleUntil([&] { return editor.imageView()->previewImage() != nullptr; }, 15000);
    settleUntil([] { return false; }, 600);
});

// Painter mode over a look, with a stroke painted across the middle.
OPALENE_UISHEET_STATE("editor_window_tool_painter", editorWindow, [](QWidget& widget) {
    RivorezIduvivViewController& editor = editorOf(widget);
    editor.selectPostProcess(PostProcessesManager::sharedPostProcessesManager().postProcessWithName("Aged"));
    settleUntil([&] { return editor.imageView()->previewImage() != nullptr; }, 15000);
    editor.buttonPaintClick();
    settleUntil([&] { return editor.painterView() != nullptr; }, 30000);
    settleUntil([] { return false; }, 600);
    if (CIMicroPaintView* canvas = editor.painterView()) {
        const double w = canvas->width(), h = canvas->height();
        canvas->setBrushSize(std::max(40.0, w / 8));
        canvas->mouseDown(graphics::Point{w * 0.2, h * 0.5}, 1);
        for (double t = 0.25; t <= 0.8; t += 0.05)
            canvas->mouseDragged(graphics::Point{w * t, h * (0.5 + 0.15 * (t - 0.5))}, 1);
        canvas->mouseUp();
    }
    settleUntil([] { return false; }, 800);
});

// The editor at start with no photo: the splash screen, offering the photo as the recent file.
std::unique_ptr<QWidget> editorAtStart(const QImage& photo) {
    const std::string recent = (QDir::tempPath() + "/opalene-uisheet-recent.png").toStdString();
    photo.save(QString::fromStdString(recent), "PNG");
    RecentDocuments::clearRecentDocuments();
    RecentDocuments::noteNewRecentDocumentURL(recent);
    auto host = std::make_unique<EditorHost>();
    host->resize(1440, 900);
    host->editor = std::make_unique<RivorezIduvivViewController>(&host->undo);
    host->editor->importFromCamera = [] {};
    QMainWindow* window = host->editor->window();
    window->setParent(host.get(), Qt::Widget);
    window->setGeometry(0, 0, 1440, 900);
    settleUntil([&] { return host->editor->isSplashViewShown(); }, 2000);
    return host;
}

OPALENE_UISHEET_STATE("editor_window_splash", editorAtStart, [](QWidget&) {
    settleUntil([] { return false; }, 1200); // the fade and the recent file's thumbnail
});

} // namespace
