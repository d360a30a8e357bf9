// The share popover open under the editor's Share button, offering e-mail, two image
// applications of the desktop and exporting to an image file.
#include "UiSheetRegistry.h"
#include "controls/ImageAdditional.h"
#include "controls/KXButton.h"
#include "controls/KXShareViewController.h"
#include "editor/RivorezIduvivViewController.h"
#include "imageview/KXImageView.h"
#include "platform/foundation/UndoManager.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMainWindow>
#include <QTemporaryDir>

namespace {

struct SharingHost : QWidget {
    foundation::UndoManager undo;
    std::unique_ptr<RivorezIduvivViewController> editor;
};

// Two image applications in a folder of the sheet's own, so the list does not depend on the
// machine; the environment is put back once the rows are made.
void showWithSampleApplications(KXShareViewController& share, QWidget* from) {
    QTemporaryDir folder;
    QDir(folder.path()).mkpath("applications");
    for (const char* name : {"Image Viewer", "Paint Program"}) {
        QFile entry(
            folder.filePath(QString("applications/org.example.%1.desktop").arg(QString(name).remove(' '))));
        if (entry.open(QIODevice::WriteOnly))
            entry.write(
                QString("[Desktop Entry]\nType=Application\nName=%1\nExec=true %f\nMimeType=image/png;\n")
                    .arg(name)
                    .toUtf8());
    }
    const QByteArray home = qgetenv("XDG_DATA_HOME"), dirs = qgetenv("XDG_DATA_DIRS");
    qputenv("XDG_DATA_HOME", folder.path().toUtf8());
    qputenv("XDG_DATA_DIRS", folder.filePath("none").toUtf8());
    share.showFromView(from);
    qputenv("XDG_DATA_HOME", home);
    qputenv("XDG_DATA_DIRS", dirs);
}

OPALENE_UISHEET_STATE(
    "share_popover",
    [](const QImage& photo) -> std::unique_ptr<QWidget> {
        auto host = std::make_unique<SharingHost>();
        host->resize(1440, 900);
        host->editor = std::make_unique<RivorezIduvivViewController>(&host->undo);
        QMainWindow* window = host->editor->window();
        window->setParent(host.get(), Qt::Widget);
        window->setGeometry(0, 0, 1440, 900);
        host->editor->openNewImage(ImageAdditional::fromQImage(photo), "Photo");
        return host;
    },
    [](QWidget& widget) {
        RivorezIduvivViewController& editor = *static_cast<SharingHost&>(widget).editor;
        editor.imageView()->zoomToFitAnimated(false);
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 1500)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        editor.createSharingMenu();
        editor.shareButton()->setState(1);
        showWithSampleApplications(*editor.shareViewController(), editor.shareButton());
        QApplication::processEvents();
    });

} // namespace
