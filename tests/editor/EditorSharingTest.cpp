#include "editor/RivorezIduvivViewController.h"

#include "controls/ImageAdditional.h"
#include "controls/KXButton.h"
#include "controls/KXShareViewController.h"
#include "engine/PostProcessesManager.h"
#include "platform/appkit/MainQueuePump.h"
#include "platform/appkit/Workspace.h"
#include "platform/foundation/UndoManager.h"
#include "platform/imageio/ImageDestination.h"
#include "platform/imageio/ImageSource.h"
#include "platform/services/KXSLocalization.h"
#include "platform/services/KXSPluginModeManager.h"
#include "support/EventLoop.h"
#include "support/ImagePixels.h"
#include "support/ScopedEnvironment.h"
#include "support/ShownAlert.h"
#include "support/TemporaryDirectory.h"
#include "support/UiApplication.h"

#include <QAction>
#include <QImage>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>

namespace fs = std::filesystem;

namespace {

using Paths = std::vector<std::string>;

struct ShareEnvironment {
    TemporaryDirectory dir;
    ScopedEnvironment environment;
    ShareEnvironment() {
        for (const char* folder : {"tmp", "data", "config", "photos"})
            fs::create_directories(dir.path() / folder);
        environment.set("TMPDIR", dir.file("tmp"));
        environment.set("OPALENE_DATA_DIR", dir.file("data"));
        environment.set("OPALENE_CONFIG_DIR", dir.file("config"));
        environment.set("XDG_DATA_HOME", dir.file("apps"));
        environment.set("XDG_DATA_DIRS", dir.file("none"));
        appkit::Workspace::setLauncher([](const std::vector<std::string>&) { return true; });
    }
    ~ShareEnvironment() { appkit::Workspace::setLauncher(nullptr); }
};

std::string writePhoto(const std::string& path) {
    QImage image(48, 32, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(210, 140, 60));
    auto destination = imageio::ImageDestination::createWithPath(path, "public.jpeg");
    EXPECT_TRUE(destination);
    destination->addImage(ImageAdditional::fromQImage(image), {});
    EXPECT_TRUE(destination->finalize());
    return path;
}

struct EditorSharing : ::testing::Test {
    QApplication& app = uiApplication();
    ShareEnvironment env;
    appkit::MainQueuePump mainQueue;
    foundation::UndoManager undo;
    RivorezIduvivViewController editor{&undo};
    std::optional<Paths> received;
    int calls = 0;

    EditorSharing() {
        editor.terminate = [](int) {};
    }
    KXShareManager::CompletionHandler handler() {
        return [this](const Paths& paths) {
            ++calls;
            received = paths;
        };
    }
    std::string tmp(const std::string& name) const { return (env.dir.path() / "tmp" / name).string(); }
    void open(const char* name) {
        editor.openImageURL(writePhoto((env.dir.path() / "photos" / name).string()));
        ASSERT_NE(editor.image(), nullptr);
    }
    // A menu bar with a File menu tagged 5 holding seven items.
    QMenu* fileMenu() {
        auto* bar = new QMenuBar;
        editor.window()->setMenuBar(bar);
        QMenu* file = bar->addMenu("File");
        // Menus and items carry their tags as the menu bar sets them.
        file->menuAction()->setData(QVariant::fromValue<qint64>(5));
        bar->addMenu("Edit")->menuAction()->setData(QVariant::fromValue<qint64>(6));
        for (int i = 0; i < 7; ++i)
            file->addAction(QString("Item %1").arg(i));
        return file;
    }
    static std::vector<int> tags(QMenu* menu) {
        std::vector<int> list;
        for (QAction* item : menu->actions())
            list.push_back(int(item->data().toLongLong()));
        return list;
    }
};

TEST_F(EditorSharing, TheTemporaryFileIsNamedAfterThePhotoAndHoldsTheImage) {
    open("beach.jpg");
    editor.sharePrepareBlock()(handler());
    ASSERT_EQ(calls, 1);
    ASSERT_EQ(*received, Paths{tmp("beach_edit.tiff")});
    auto written = imageio::ImageSource::createWithPath(tmp("beach_edit.tiff"));
    ASSERT_TRUE(written);
    EXPECT_EQ(written->type(), "public.tiff");
    EXPECT_EQ(pixelsOf(written->createImage()).rgba, pixelsOf(editor.image()).rgba);

    // A picture without a file takes the name it was given.
    QImage pasted(20, 10, QImage::Format_ARGB32_Premultiplied);
    pasted.fill(Qt::blue);
    editor.openNewImage(ImageAdditional::fromQImage(pasted), "Untitled");
    editor.sharePrepareBlock()(handler());
    EXPECT_EQ(*received, Paths{tmp("Untitled_edit.tiff")});
}

TEST_F(EditorSharing, AChosenLookIsAppliedFirstAndItsResultShared) {
    open("beach.jpg");
    const graphics::ImagePtr opened = editor.image();
    PostProcess* look = PostProcessesManager::sharedPostProcessesManager().postProcessWithName("Cool Blue");
    ASSERT_NE(look, nullptr);
    editor.selectPostProcess(look);
    editor.sharePrepareBlock()(handler());
    EXPECT_EQ(calls, 0); // waits for the apply
    ASSERT_TRUE(runEventLoopUntil([&] { return calls == 1; }, 20.0));
    ASSERT_NE(editor.image(), opened);
    auto written = imageio::ImageSource::createWithPath((*received)[0]);
    ASSERT_TRUE(written);
    EXPECT_EQ(pixelsOf(written->createImage()).rgba, pixelsOf(editor.image()).rgba);
    EXPECT_FALSE(editor._continueShareCompletionHandler);
}

TEST_F(EditorSharing, ACancelledApplySharesNothing) {
    open("beach.jpg");
    editor.selectPostProcess(
        PostProcessesManager::sharedPostProcessesManager().postProcessWithName("Cool Blue"));
    editor.sharePrepareBlock()(handler());
    PostProcessesManager::sharedPostProcessesManager().cancelGeneratingImage();
    runEventLoopFor(1.0);
    EXPECT_EQ(calls, 0);
    // The next share without an apply does not reach the abandoned handler.
    editor.setTool(RivorezIduvivViewController::kBrowser);
    int later = 0;
    editor.sharePrepareBlock()([&](const Paths&) { ++later; });
    EXPECT_EQ(later, 1);
    EXPECT_EQ(calls, 0);
}

TEST_F(EditorSharing, AFailedWriteIsSaidAndHandsNothingOn) {
    open("beach.jpg");
    env.environment.set("TMPDIR", "/proc"); // a folder nobody can write in
    editor.sharePrepareBlock()(handler());
    ASSERT_EQ(calls, 1);
    EXPECT_TRUE(received->empty());
    QMessageBox* alert = shownAlert(editor.window());
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->text().toStdString(),
              services::KXSLocalization::localizedStringForKey("Image cannot be saved", ""));
    answer(alert, 1);
}

TEST_F(EditorSharing, TheFileMenuGetsItsItemsOnce) {
    QMenu* file = fileMenu();
    editor.createSharingMenu();
    editor.createSharingMenu();
    EXPECT_EQ(tags(file), (std::vector<int>{0, 0, 0, 0, 0, 10, 9, 0, 0}));
    EXPECT_EQ(editor.fileMenu(), file);

    // In plug-in mode only the export item goes in.
    services::KXSPluginModeManager::sharedManager().setPluginMode(true);
    QMenu* second = fileMenu();
    editor.createSharingMenu();
    services::KXSPluginModeManager::sharedManager().setPluginMode(false);
    EXPECT_EQ(tags(second), (std::vector<int>{0, 0, 0, 0, 0, 10, 0, 0}));
}

TEST_F(EditorSharing, ThePopoverOpensUnderTheShareButtonAndReleasesIt) {
    open("beach.jpg");
    editor.window()->show();
    editor.createSharingMenu();
    KXShareViewController* share = editor.shareViewController();
    EXPECT_EQ(share, editor.shareViewController());
    EXPECT_EQ(share->popoverPosition(), KXShareViewController::kBelowLeft);
    editor.shareButton()->setState(1);
    share->showFromView(editor.shareButton());
    ASSERT_NE(share->popover(), nullptr);
    const QStringList rows = share->kxPopoverViewTableViewCellsArray();
    ASSERT_FALSE(rows.isEmpty());
    EXPECT_EQ(rows.front(), "E-mail");
    EXPECT_EQ(rows.back(), "Export to Image...");
    share->close();
    EXPECT_EQ(editor.shareButton()->state(), 0);
}

TEST_F(EditorSharing, ThePopoverSharesBeforeTheMenusAreBuilt) {
    open("beach.jpg");
    std::vector<std::vector<std::string>> started;
    appkit::Workspace::setLauncher([&](const std::vector<std::string>& command) {
        started.push_back(command);
        return true;
    });
    KXShareViewController* share = editor.shareViewController();
    share->showFromView(editor.shareButton());
    ASSERT_NE(share->popover(), nullptr);
    share->didSelectCellAtIndex(share->popover(), 0); // E-mail
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0], (std::vector<std::string>{"xdg-email", "--attach", tmp("beach_edit.tiff")}));
}

} // namespace
