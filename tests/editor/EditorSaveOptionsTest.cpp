// Saving while a look is being tuned: the look is applied first and the applied photo is written;
// a cancelled apply writes nothing.
#include "editor/RivorezIduvivViewController.h"

#include "controls/ImageAdditional.h"
#include "editor/ProgressViewController.h"
#include "engine/PostProcess.h"
#include "engine/PostProcessesManager.h"
#include "platform/appkit/MainQueuePump.h"
#include "platform/foundation/UndoManager.h"
#include "platform/imageio/ImageDestination.h"
#include "platform/imageio/ImageSource.h"
#include "support/EventLoop.h"
#include "support/ImagePixels.h"
#include "support/TemporaryDirectory.h"
#include "support/UiApplication.h"

#include <QFileDialog>
#include <QImage>
#include <QMainWindow>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace fs = std::filesystem;

namespace {

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct EditorSaveOptions : ::testing::Test {
    QApplication& app = uiApplication();
    appkit::MainQueuePump mainQueue;
    TemporaryDirectory dir;
    foundation::UndoManager undo;
    RivorezIduvivViewController editor{&undo};
    graphics::ImagePtr opened;

    void SetUp() override {
        editor.terminate = [](int) {};
        QImage picture(48, 32, QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                picture.setPixel(x, y, qRgb(60 + 3 * x, 90 + 4 * y, 140));
        auto destination = imageio::ImageDestination::createWithPath(photo(), "public.png");
        ASSERT_TRUE(destination);
        destination->addImage(ImageAdditional::fromQImage(picture), {});
        ASSERT_TRUE(destination->finalize());
        editor.openImageURL(photo());
        opened = editor.image();
        ASSERT_NE(opened, nullptr);
        PostProcess* look =
            PostProcessesManager::sharedPostProcessesManager().postProcessWithName("Cool Blue");
        ASSERT_NE(look, nullptr);
        editor.selectPostProcess(look);
        ASSERT_TRUE(editor.needApplyCurrentPostProcessOrPreset());
    }
    std::string photo() const { return dir.file("photo.png"); }
};

// Quick save and save with a panel both wait for the apply, then write what it made.
TEST_F(EditorSaveOptions, ALookBeingTunedIsAppliedThenTheAppliedPhotoIsWritten) {
    struct Case {
        const char* name;
        bool withPanel;
    };
    for (const Case& c : {Case{"quick save", false}}) {
        SCOPED_TRACE(c.name);
        if (c.withPanel) {
            editor.saveImage();
            // The panel waits for the apply.
            EXPECT_EQ(editor.window()->findChild<QFileDialog*>("savePanel"), nullptr);
        } else {
            editor.saveMenuItemClick();
        }
        EXPECT_NE(editor.progressViewController(), nullptr);
        EXPECT_EQ(editor.image(), opened);
        const std::string target = c.withPanel ? dir.file("saved.png") : photo();
        if (c.withPanel) {
            QFileDialog* panel = nullptr;
            ASSERT_TRUE(runEventLoopUntil(
                [&] {
                    panel = editor.window()->findChild<QFileDialog*>("savePanel");
                    return panel && panel->isVisible();
                },
                20.0));
            EXPECT_NE(editor.image(), opened);
            panel->setOption(QFileDialog::DontConfirmOverwrite);
            panel->setDirectory(QString::fromStdString(dir.path().string()));
            panel->selectFile("saved.png");
            QMetaObject::invokeMethod(panel, "accept");
        }
        ASSERT_TRUE(
            runEventLoopUntil([&] { return editor.image() != opened && !editor.isDocumentEdited(); }, 20.0));
        EXPECT_FALSE(editor.needApplyCurrentPostProcessOrPreset());
        auto written = imageio::ImageSource::createWithPath(target);
        ASSERT_TRUE(written);
        const ImagePixels applied = pixelsOf(editor.image()), file = pixelsOf(written->createImage());
        ASSERT_EQ(file.w, applied.w);
        EXPECT_EQ(file.rgba, applied.rgba);
        EXPECT_NE(file.rgba, pixelsOf(opened).rgba);
        // The next round starts again from a tuned look.
        opened = editor.image();
        editor.selectPostProcess(
            PostProcessesManager::sharedPostProcessesManager().postProcessWithName("Cool Blue"));
        ASSERT_TRUE(editor.needApplyCurrentPostProcessOrPreset());
        editor.setDocumentEdited(true);
    }
}

TEST_F(EditorSaveOptions, ACancelledApplyWritesNothing) {
    editor.setDocumentEdited(true);
    const std::string before = bytesOf(photo());
    for (int withPanel = 0; withPanel < 2; ++withPanel) {
        SCOPED_TRACE(withPanel ? "save with a panel" : "quick save");
        if (withPanel)
            editor.saveImage();
        else
            editor.saveMenuItemClick();
        ASSERT_NE(editor.progressViewController(), nullptr);
        editor.progressViewController()->cancelButtonClick();
        runEventLoopFor(0.2);
        EXPECT_EQ(editor.image(), opened);
        EXPECT_EQ(editor.window()->findChild<QFileDialog*>("savePanel"), nullptr);
        EXPECT_TRUE(editor.isDocumentEdited());
        EXPECT_EQ(bytesOf(photo()), before);
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
    }
}

} // namespace
