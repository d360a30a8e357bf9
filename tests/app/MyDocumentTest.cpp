#include "app/MyDocument.h"

#include "controls/ImageAdditional.h"
#include "editor/RivorezIduvivViewController.h"
#include "engine/CustomPresetsManager.h"
#include "platform/appkit/Workspace.h"
#include "support/ScopedEnvironment.h"
#include "support/TemporaryDirectory.h"
#include "support/UiApplication.h"

#include <QImage>
#include <QPrinter>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

TEST(MyDocument, PrintMarginIsTheWidestInset) {
    struct Case {
        QSizeF paper;
        QRectF imageable;
        double margin;
    };
    const Case cases[] = {
        {{612, 792}, {18, 18, 612 - 18 - 24, 792 - 18 - 24}, 24},
        {{612, 792}, {0, 0, 612, 792}, 0},
        {{0, 0}, {0, 0, 0, 0}, 0},
        {{600, 800}, {10, 40, 560, 700}, 60},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(MyDocument::printMargin(c.paper, c.imageable), c.margin);
}

TEST(MyDocument, EditorIsMadeOnceAndSharesTheUndoManager) {
    QApplication& app = uiApplication();
    (void)app;
    MyDocument document;
    EXPECT_FALSE(document.validateUserInterfaceItem());
    RivorezIduvivViewController* editor = document.rivorezIduvivViewController();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(document.rivorezIduvivViewController(), editor);
    EXPECT_EQ(editor->undoManager(), document.undoManager());
    EXPECT_EQ(CustomPresetsManager::sharedCustomPresetsManager().undoManager(), document.undoManager());
    EXPECT_FALSE(document.validateUserInterfaceItem());

    QImage photo(40, 30, QImage::Format_ARGB32_Premultiplied);
    photo.fill(Qt::darkGreen);
    editor->_setImage(ImageAdditional::fromQImage(photo), false);
    EXPECT_TRUE(document.validateUserInterfaceItem());

    document.updateChangeCount(false);
    EXPECT_TRUE(document.isDocumentEdited());
    document.updateChangeCount(true);
    EXPECT_FALSE(document.isDocumentEdited());
}

TEST(MyDocument, PrintingWithoutAnImageFailsWithAMessage) {
    QApplication& app = uiApplication();
    (void)app;
    MyDocument document;
    std::string error;
    EXPECT_FALSE(document.printOperationWithSettings(&error));
    EXPECT_EQ(error, "Print error");
}

TEST(MyDocument, PrintsTheImageScaledToOnePage) {
    QApplication& app = uiApplication();
    (void)app;
    TemporaryDirectory dir;
    const std::string pdf = dir.path().string() + "/print.pdf";
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf));
    QImage photo(400, 300, QImage::Format_ARGB32_Premultiplied);
    photo.fill(Qt::red);
    EXPECT_TRUE(MyDocument::printImage(photo, printer));
    EXPECT_GT(std::filesystem::file_size(pdf), 500u);
    EXPECT_FALSE(MyDocument::printImage(QImage(), printer));
}

TEST(MyDocument, TheEditorReachesThePhotoLibrariesThroughTheExportController) {
    QApplication& app = uiApplication();
    (void)app;
    TemporaryDirectory dir;
    fs::create_directories(dir.path() / "apps/applications");
    fs::create_directories(dir.path() / "tmp");
    const ScopedEnvironment environment{{"XDG_DATA_HOME", dir.file("apps")},
                                        {"XDG_DATA_DIRS", dir.file("none")},
                                        {"TMPDIR", dir.file("tmp")}};
    std::ofstream(dir.path() / "apps/applications/com.apple.Aperture.desktop")
        << "[Desktop Entry]\nExec=library %f\n";
    std::vector<std::vector<std::string>> started;
    appkit::Workspace::setLauncher([&](const std::vector<std::string>& command) {
        started.push_back(command);
        return true;
    });
    MyDocument document;
    RivorezIduvivViewController* editor = document.rivorezIduvivViewController();
    ASSERT_TRUE(editor->photoLibraryExport);
    QImage image(16, 12, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::green);
    std::string error;
    EXPECT_TRUE(
        editor->photoLibraryExport("com.apple.Aperture", ImageAdditional::fromQImage(image), {}, &error));
    appkit::Workspace::setLauncher(nullptr);
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].front(), "library");
    EXPECT_EQ(fs::path(started[0].back()).extension(), ".jpg");
    EXPECT_TRUE(fs::exists(started[0].back()));
}

} // namespace
