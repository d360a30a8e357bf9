// The editor's rotate and crop panels in the window: the rotate tool with a fine angle, the crop
// tool with 3x2 kept, and its proportions list open.
#include "UiSheetRegistry.h"
#include "controls/ImageAdditional.h"
#include "editor/CropToolbarView.h"
#include "editor/RivorezIduvivViewController.h"
#include "editor/RotationPanelView.h"
#include "imageview/KXImageView.h"
#include "platform/foundation/UndoManager.h"
#include "platform/foundation/UserDefaults.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>

namespace {

struct EditorHost : QWidget {
    foundation::UndoManager undo;
    std::unique_ptr<RivorezIduvivViewController> editor;
};

std::unique_ptr<QWidget> editorWindow(const QImage& photo) {
    foundation::UserDefaults::standardUserDefaults().removeObjectForKey(
        "k_Crop_Proportions_Popover_Selected_Cell_Key");
    auto host = std::make_unique<EditorHost>();
    host->resize(1440, 900);
    host->editor = std::make_unique<RivorezIduvivViewController>(&host->undo);
    QMainWindow* window = host->editor->window();
    window->setParent(host.get(), Qt::Widget);
    window->setGeometry(0, 0, 1440, 900);
    host->editor->openNewImage(ImageAdditional::fromQImage(photo), "Photo");
    return host;
}

void settleFor(int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

RivorezIduvivViewController& editorOf(QWidget& widget) {
    return *static_cast<EditorHost&>(widget).editor;
}

// The side panel as the tool switch leaves it: at the right edge, 140 points below the top.
void placePanel(RivorezIduvivViewController& editor, QWidget* panel) {
    QWidget* content = editor.contentView();
    panel->move(content->width() - panel->width(), 140);
    panel->show();
    panel->raise();
    editor.imageView()->setRightMargin(panel->width());
}

void enterCrop(RivorezIduvivViewController& editor) {
    editor.setTool(RivorezIduvivViewController::kCrop);
    editor.showToolbars();
    editor.imageView()->setRightMargin(editor.cropToolbar()->width());
    editor.imageView()->zoomToFitAnimated(false);
    editor.imageView()->setCropToolOn(true);
    editor.didSelectCellAtIndex(nullptr, 4);
}

OPALENE_UISHEET_STATE("editor_rotate_tool_angle", editorWindow, [](QWidget& widget) {
    RivorezIduvivViewController& editor = editorOf(widget);
    editor.setTool(RivorezIduvivViewController::kRotate);
    placePanel(editor, editor.rotationPanel());
    editor.imageView()->zoomToFitAnimated(false);
    for (int i = 0; i < 12; ++i)
        editor.cropRotateRigth();
    settleFor(800);
});

OPALENE_UISHEET_STATE("editor_crop_toolbar_3x2", editorWindow, [](QWidget& widget) {
    enterCrop(editorOf(widget));
    settleFor(1000);
});

OPALENE_UISHEET_STATE("editor_crop_proportions_popover", editorWindow, [](QWidget& widget) {
    RivorezIduvivViewController& editor = editorOf(widget);
    enterCrop(editor);
    settleFor(600);
    editor.proportionsComboBoxDidChange();
    settleFor(400);
});

} // namespace
