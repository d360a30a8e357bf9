// opalene-photos-host <photo> <output-folder> [adjustment-data]: plays the photo library's part
// for the editing extension. The edited photo is written as "<name>.jpg" in the output folder with
// its adjustment data beside it ("<name>.adjustment.json"). Exit status: 0 saved, 1 the photo's
// type was refused, 2 bad arguments, 3 cancelled, 4 the edit could not be saved.
#include "extension/PhotosHostWindow.h"
#include "platform/appkit/MainQueuePump.h"
#include "platform/services/ExtensionBuild.h"
#include "platform/services/KXServiceUtils.h"

#include <QApplication>
#include <QFileInfo>
#include <iostream>

int main(int argc, char** argv) {
    services::ExtensionBuild::setOn(true);
    QApplication app(argc, argv);
    QApplication::setApplicationName("Opalene Photos Host");
    const QStringList arguments = app.arguments();
    if (arguments.size() < 3 || arguments.size() > 4) {
        std::cerr << "usage: opalene-photos-host <photo> <output-folder> [adjustment-data]\n";
        return PhotosHostWindow::kBadArguments;
    }
    const QFileInfo photo(arguments.at(1)), folder(arguments.at(2));
    if (!photo.isFile() || !photo.isReadable()) {
        std::cerr << "opalene-photos-host: cannot read the photo " << arguments.at(1).toStdString() << "\n";
        return PhotosHostWindow::kBadArguments;
    }
    if (!folder.isDir()) {
        std::cerr << "opalene-photos-host: the output folder " << arguments.at(2).toStdString()
                  << " does not exist\n";
        return PhotosHostWindow::kBadArguments;
    }
    appkit::MainQueuePump mainQueue;
    services::KXServiceUtils::setBackingScaleFactor(app.devicePixelRatio());

    std::optional<std::string> adjustmentData;
    if (arguments.size() == 4) adjustmentData = arguments.at(3).toStdString();
    PhotosHostWindow window(photo.absoluteFilePath().toStdString(), folder.absoluteFilePath().toStdString(),
                            adjustmentData);
    window.show();
    window.start();
    return app.exec();
}
