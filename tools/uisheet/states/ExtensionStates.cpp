// The photo library's host window with the editing extension open on the photo.
#include "UiSheetRegistry.h"
#include "editor/RivorezIduvivViewController.h"
#include "extension/PhotoEditingViewController.h"
#include "extension/PhotosHostWindow.h"
#include "imageview/KXImageView.h"
#include "platform/services/ExtensionBuild.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

namespace {

// The switch is process-wide: on while this state lives, off again for the states after it.
struct ExtensionSheet : QWidget {
    QTemporaryDir folder;
    PhotosHostWindow* host = nullptr;
    ~ExtensionSheet() override {
        delete host;
        services::ExtensionBuild::setOn(false);
    }
};

std::unique_ptr<QWidget> hostWithExtension(const QImage& photo) {
    services::ExtensionBuild::setOn(true);
    auto sheet = std::make_unique<ExtensionSheet>();
    sheet->resize(1280, 860);
    const QString file = sheet->folder.filePath("photo.png");
    photo.save(file);
    sheet->host = new PhotosHostWindow(file.toStdString(), sheet->folder.path().toStdString());
    sheet->host->terminate = nullptr;
    sheet->host->setParent(sheet.get(), Qt::Widget);
    sheet->host->setGeometry(0, 0, 1280, 860);
    sheet->host->start();
    return sheet;
}

OPALENE_UISHEET_STATE("extension_host_window", hostWithExtension, [](QWidget& widget) {
    auto& sheet = static_cast<ExtensionSheet&>(widget);
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 3000) {
        RivorezIduvivViewController* editor = sheet.host->extension()->editor();
        if (editor && editor->image() && timer.elapsed() > 1500) break;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    if (RivorezIduvivViewController* editor = sheet.host->extension()->editor())
        editor->imageView()->zoomToFitAnimated(false);
    QApplication::processEvents();
});

} // namespace
