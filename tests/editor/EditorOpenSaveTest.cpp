#include "editor/RivorezIduvivViewController.h"

#include "controls/ImageAdditional.h"
#include "editor/RecentDocuments.h"
#include "engine/PostProcess.h"
#include "engine/PostProcessesManager.h"
#include "imageview/KXImageView.h"
#include "platform/appkit/MainQueuePump.h"
#include "platform/foundation/UndoManager.h"
#include "platform/imageio/ImageSource.h"
#include "platform/services/KXSLocalization.h"
#include "support/EventLoop.h"
#include "support/ShownAlert.h"
#include "support/TemporaryDirectory.h"
#include "support/UiApplication.h"

#include <OpenImageIO/imageio.h>
#include <QAbstractButton>
#include <QFileDialog>
#include <QMainWindow>
#include <QMessageBox>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

std::string writePhoto(const std::string& path, int width, int height, unsigned char red) {
    auto out = OIIO::ImageOutput::create(path);
    OIIO::ImageSpec spec(width, height, 3, OIIO::TypeDesc::UINT8);
    spec.attribute("Make", "Testmaker");
    std::vector<unsigned char> pixels(size_t(width) * height * 3, 0);
    for (size_t i = 0; i < pixels.size(); i += 3)
        pixels[i] = red;
    EXPECT_TRUE(out && out->open(path, spec) && out->write_image(OIIO::TypeDesc::UINT8, pixels.data()) &&
                out->close());
    return path;
}

struct EditorFiles : ::testing::Test {
    QApplication& app = uiApplication();
    appkit::MainQueuePump mainQueue; // the editor's deferred steps run in Qt's loop
    TemporaryDirectory dir;
    foundation::UndoManager undo;
    RivorezIduvivViewController editor{&undo};
    std::vector<int> endings;

    EditorFiles() {
        editor.terminate = [this](int status) { endings.push_back(status); };
        RecentDocuments::clearRecentDocuments();
    }
    std::string path(const char* name) const { return dir.path().string() + "/" + name; }
};

TEST_F(EditorFiles, OpeningAFileShowsItNamesTheWindowAndNotesItAsRecent) {
    const std::string photo = writePhoto(path("beach.jpg"), 60, 40, 200);
    editor.openWithSavingCurrentImageURL(photo);
    ASSERT_NE(editor.image(), nullptr);
    EXPECT_EQ(editor.image()->width(), 60);
    EXPECT_EQ(editor.originalImage(), editor.image());
    EXPECT_EQ(editor.imageUTType(), "public.jpeg");
    EXPECT_EQ(editor.representedFilename(), photo);
    EXPECT_TRUE(editor.window()->windowTitle().startsWith("beach.jpg"));
    EXPECT_EQ(RecentDocuments::recentDocumentURLs(), std::vector<std::string>{photo});
    EXPECT_FALSE(undo.canUndo());
    EXPECT_FALSE(editor.needSaveDocument());
}

TEST_F(EditorFiles, AnUnreadableFileChangesNothingAndSaysSo) {
    const std::string photo = writePhoto(path("first.png"), 30, 20, 10);
    editor.openImageURL(photo);
    graphics::ImagePtr before = editor.image();
    const std::string junk = path("junk.jpg");
    std::ofstream(junk) << "no picture here";
    editor.openWithSavingCurrentImageURL(junk);
    QMessageBox* alert = shownAlert(editor.window());
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->text().toStdString(),
              services::KXSLocalization::localizedStringForKey("kStringCantOpenImageAlertText", ""));
    answer(alert, 1);
    EXPECT_EQ(editor.image(), before);
    EXPECT_EQ(editor.representedFilename(), photo);
}

TEST_F(EditorFiles, ReopeningEditedWorkAsksFirst) {
    editor.openImageURL(writePhoto(path("a.png"), 30, 20, 10));
    graphics::ImagePtr first = editor.image();
    editor.setDocumentEdited(true);
    const std::string second = writePhoto(path("b.png"), 20, 30, 90);

    editor.openWithSavingCurrentImageURL(second);
    answer(shownAlert(editor.window()), -1); // Cancel
    runEventLoopFor(0.05);
    EXPECT_EQ(editor.image(), first);

    editor.openWithSavingCurrentImageURL(second);
    answer(shownAlert(editor.window()), 0); // Don't Save
    ASSERT_TRUE(runEventLoopUntil([&] { return editor.image() != first; }, 2.0));
    EXPECT_EQ(editor.image()->width(), 20);
    EXPECT_FALSE(editor.isDocumentEdited());
    EXPECT_TRUE(endings.empty());
}

TEST_F(EditorFiles, SavingWritesTheWorkingImageWithItsProperties) {
    editor.openImageURL(writePhoto(path("in.jpg"), 40, 30, 220));
    editor.setDocumentEdited(true);
    const std::string out = path("out.png");
    ASSERT_TRUE(editor.saveImageAtPath(out, "public.png", editor.imageProperties(), false));
    EXPECT_FALSE(editor.isDocumentEdited());
    EXPECT_EQ(editor.representedFilename(), out);
    EXPECT_EQ(editor.imageUTType(), "public.png");
    auto source = imageio::ImageSource::createWithPath(out);
    ASSERT_NE(source, nullptr);
    graphics::ImagePtr back = source->createImage();
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->width(), 40);
    EXPECT_EQ(back->height(), 30);
}

TEST_F(EditorFiles, AFailedSaveKeepsTheWorkAndTheWaitingStep) {
    editor.openImageURL(writePhoto(path("in.png"), 40, 30, 220));
    editor.setDocumentEdited(true);
    bool continued = false;
    editor._additionalSelectorAfterSaving = [&] { continued = true; };
    EXPECT_FALSE(editor.saveImageAtPath(path("missing/folder/out.png"), "public.png", {}, false));
    QMessageBox* alert = shownAlert(editor.window());
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->text().toStdString(),
              services::KXSLocalization::localizedStringForKey("Image cannot be saved", ""));
    answer(alert, 1);
    EXPECT_TRUE(editor.isDocumentEdited());
    EXPECT_TRUE(editor._additionalSelectorAfterSaving != nullptr);
    runEventLoopFor(0.05);
    EXPECT_FALSE(continued);

    ASSERT_TRUE(editor.saveImageAtPath(path("out.png"), "public.png", {}, false));
    EXPECT_TRUE(runEventLoopUntil([&] { return continued; }, 2.0));
}

TEST_F(EditorFiles, ClosingCleanWorkEndsAtOnceAndEditedWorkAsks) {
    editor.openImageURL(writePhoto(path("in.png"), 40, 30, 220));
    EXPECT_TRUE(editor.shouldCloseDocument());
    editor.closeDocumentWithSaving();
    EXPECT_EQ(endings, std::vector<int>{0});

    endings.clear();
    editor.setDocumentEdited(true);
    EXPECT_FALSE(editor.shouldCloseDocument());
    answer(shownAlert(editor.window()), -1); // Cancel keeps the program
    runEventLoopFor(0.05);
    EXPECT_TRUE(endings.empty());
    editor.closeDocumentWithSaving();
    answer(shownAlert(editor.window()), 0); // Don't Save ends it
    EXPECT_EQ(endings, std::vector<int>{0});
}

TEST_F(EditorFiles, SaveFromTheQuestionOpensThePanelAndContinuesAfterTheSave) {
    editor.openImageURL(writePhoto(path("in.png"), 40, 30, 220));
    editor.setDocumentEdited(true);
    editor.closeDocumentWithSaving();
    answer(shownAlert(editor.window()), 1); // Save
    QFileDialog* panel = nullptr;
    ASSERT_TRUE(runEventLoopUntil(
        [&] {
            panel = editor.window()->findChild<QFileDialog*>("savePanel");
            return panel && panel->isVisible();
        },
        2.0));
    QMetaObject::invokeMethod(panel, "reject"); // the panel cancelled: the close still waits
    runEventLoopFor(0.05);
    EXPECT_TRUE(endings.empty());
    ASSERT_TRUE(editor.saveImageAtPath(path("saved.png"), "public.png", {}, false));
    ASSERT_TRUE(runEventLoopUntil([&] { return !endings.empty(); }, 2.0));
    EXPECT_EQ(endings, std::vector<int>{0});
}

TEST_F(EditorFiles, ANewImageWithoutAFileNeedsSaving) {
    QImage picture(10, 10, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::blue);
    editor.openWithSavingCurrentImageNewImage(ImageAdditional::fromQImage(picture));
    ASSERT_NE(editor.image(), nullptr);
    EXPECT_EQ(editor.representedFilename(), "Untitled");
    EXPECT_TRUE(editor.imageUTType().empty());
    EXPECT_TRUE(editor.needSaveDocument());
}

TEST_F(EditorFiles, ChoosingTuningApplyingAndUndoingALook) {
    editor.openImageURL(writePhoto(path("small.png"), 64, 48, 180));
    graphics::ImagePtr opened = editor.image();
    ASSERT_NE(opened, nullptr);
    PostProcess* look = PostProcessesManager::sharedPostProcessesManager().postProcessWithName("Cool Blue");
    ASSERT_NE(look, nullptr);

    editor.selectPostProcess(look);
    EXPECT_EQ(editor.tool(), RivorezIduvivViewController::kParameters);
    ASSERT_NE(editor.filterToolbarController(), nullptr);
    ASSERT_TRUE(runEventLoopUntil([&] { return editor.imageView()->previewImage() != nullptr; }, 20.0));
    EXPECT_EQ(editor.image(), opened); // a preview changes nothing yet

    editor.applyButtonDidClick(editor.filterToolbarController());
    ASSERT_TRUE(runEventLoopUntil([&] { return editor.image() != opened; }, 20.0));
    EXPECT_EQ(editor.tool(), RivorezIduvivViewController::kBrowser);
    EXPECT_EQ(editor.filterToolbarController(), nullptr);
    EXPECT_TRUE(editor.isDocumentEdited());
    EXPECT_EQ(editor.image()->width(), 64);
    runEventLoopFor(0.1);
    ASSERT_TRUE(undo.canUndo());

    editor.buttonUndoClick();
    EXPECT_EQ(editor.image(), opened);
    EXPECT_EQ(editor.imageView()->image(), opened);
}

} // namespace
