// The save panel with the export options under its file controls: JPEG quality, TIFF options.
#include "UiSheetRegistry.h"
#include "app/KXExportOptionsView.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>

namespace {

// The panel, holding its options: members go before the panel's own children, as they must.
struct SavePanel : QFileDialog {
    QTemporaryDir folder;
    std::unique_ptr<KXExportOptionsView> options;
};

std::unique_ptr<QWidget> savePanel(const char* type, int depth) {
    auto panel = std::make_unique<SavePanel>();
    for (const char* name : {"Harbour.jpg", "Lighthouse.tiff", "Market.png"}) {
        QFile file(QDir(panel->folder.path()).filePath(name));
        file.open(QIODevice::WriteOnly);
    }
    panel->options = KXExportOptionsView::exportOptionsViewWithMetadata({}, type, depth);
    panel->options->addViewToSavePanel(*panel);
    panel->setDirectory(panel->folder.path());
    panel->selectFile("astronaut");
    panel->resize(720, 480);
    return panel;
}

// The file list fills in the background: wait until the folder's files are listed.
void settleFileList(QWidget&) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 1500)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

} // namespace

OPALENE_UISHEET_STATE(
    "save_panel_tiff_options", [](const QImage&) { return savePanel("public.tiff", 16); }, settleFileList);
OPALENE_UISHEET_STATE(
    "save_panel_jpeg_options", [](const QImage&) { return savePanel("public.jpeg", 8); }, settleFileList);
