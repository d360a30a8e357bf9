// The editor's own save panel as the document sets it up: the export options under the file controls.
#include "UiSheetRegistry.h"
#include "app/MyDocument.h"
#include "controls/ImageAdditional.h"
#include "editor/RivorezIduvivViewController.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QVBoxLayout>

namespace {

// Holds the document; the panel is moved in as a child so the sheet can grab it.
struct EditorSavePanelHost : QWidget {
    QTemporaryDir folder;
    MyDocument document;
};

std::unique_ptr<QWidget> editorSavePanel(const QImage& photo) {
    auto host = std::make_unique<EditorSavePanelHost>();
    RivorezIduvivViewController* editor = host->document.rivorezIduvivViewController();
    editor->openWithSavingCurrentImageNewImage(ImageAdditional::fromQImage(photo));
    editor->saveImage();
    auto* panel = editor->window()->findChild<QFileDialog*>("savePanel");
    if (!panel) return host;
    panel->setAttribute(Qt::WA_DeleteOnClose, false);
    panel->setParent(host.get(), Qt::Widget);
    panel->setDirectory(host->folder.path());
    auto* layout = new QVBoxLayout(host.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(panel);
    panel->show();
    host->resize(720, 500);
    return host;
}

void settleFileList(QWidget&) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 1000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

} // namespace

OPALENE_UISHEET_STATE("editor_save_panel_options", editorSavePanel, settleFileList);
