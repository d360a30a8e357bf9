// opalene [photo]: the editor. One document, one window; a photo named on the command line opens
// in it, otherwise the window starts empty.
#include "app/VQDocumentController.h"
#include "editor/RivorezIduvivViewController.h"
#include "platform/appkit/MainQueuePump.h"
#include "platform/foundation/Bundle.h"
#include "platform/services/KXServiceUtils.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QIcon>
#include <QMainWindow>

namespace {

// Closing the window is a quit request: the editor asks about unsaved work and ends the program.
class QuitOnClose : public QObject {
  public:
    explicit QuitOnClose(VQDocumentController& controller) : _controller(controller) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close && _controller.currentDocumentController() &&
            watched == _controller.currentDocumentController()->window()) {
            if (!_controller.applicationShouldTerminate()) event->ignore();
            return !event->isAccepted();
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    VQDocumentController& _controller;
};

// The application's icon at every size the build drew, from the icon theme beside the bundle.
QIcon applicationIcon() {
    QIcon icon;
    const QDir theme(QString::fromStdString(foundation::Bundle::mainBundle().bundlePath()) +
                     "/../icons/hicolor");
    for (const QString& size : theme.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        if (const QString file = theme.filePath(size + "/apps/opalene.png"); QFile::exists(file))
            icon.addFile(file);
    return icon;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Opalene");
    QApplication::setApplicationVersion(OPALENE_VERSION);
    QApplication::setWindowIcon(applicationIcon());
    appkit::MainQueuePump mainQueue;
    services::KXServiceUtils::setBackingScaleFactor(app.devicePixelRatio());

    VQDocumentController controller;
    controller.applicationWillFinishLaunching();
    const QStringList arguments = app.arguments();
    if (arguments.size() > 1)
        controller.openDocumentWithContentsOfURL(arguments.at(1).toStdString(), true);
    else
        controller.openUntitledDocumentAndDisplay(true);
    controller.applicationDidFinishLaunching();

    QuitOnClose quitOnClose(controller);
    controller.currentDocumentController()->window()->installEventFilter(&quitOnClose);
    return app.exec();
}
