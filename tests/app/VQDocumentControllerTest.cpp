#include "app/VQDocumentController.h"

#include "app/MyDocument.h"
#include "editor/RecentDocuments.h"
#include "editor/RivorezIduvivViewController.h"
#include "platform/appkit/MainQueuePump.h"
#include "platform/services/KXSPluginModeManager.h"
#include "support/EventLoop.h"
#include "support/TemporaryDirectory.h"
#include "support/UiApplication.h"

#include <OpenImageIO/imageio.h>
#include <gtest/gtest.h>

namespace {

std::string writePhoto(const std::string& path, int width, int height) {
    auto out = OIIO::ImageOutput::create(path);
    OIIO::ImageSpec spec(width, height, 3, OIIO::TypeDesc::UINT8);
    std::vector<unsigned char> pixels(size_t(width) * height * 3, 90);
    EXPECT_TRUE(out && out->open(path, spec) && out->write_image(OIIO::TypeDesc::UINT8, pixels.data()) &&
                out->close());
    return path;
}

struct DocumentController : ::testing::Test {
    QApplication& app = uiApplication();
    appkit::MainQueuePump mainQueue;
    TemporaryDirectory dir;
    VQDocumentController controller;
};

TEST_F(DocumentController, OneDocumentServesEveryOpen) {
    EXPECT_EQ(controller.currentDocumentController(), nullptr);
    controller.openDocument(); // with no document: the empty editor first
    MyDocument* document = controller.currentDocument();
    ASSERT_NE(document, nullptr);
    RivorezIduvivViewController* editor = controller.currentDocumentController();
    EXPECT_EQ(controller.openUntitledDocumentAndDisplay(true), editor);

    const std::string first = writePhoto(dir.path().string() + "/one.png", 30, 20);
    const std::string second = writePhoto(dir.path().string() + "/two.png", 20, 30);
    EXPECT_EQ(controller.openDocumentWithContentsOfURL(first, true), document);
    ASSERT_NE(editor->image(), nullptr);
    EXPECT_EQ(editor->image()->width(), 30);
    EXPECT_EQ(controller.openDocumentWithContentsOfURL(second, false), document);
    EXPECT_EQ(controller.currentDocumentController(), editor);
    EXPECT_EQ(editor->image()->width(), 20);
    EXPECT_FALSE(controller.hasEditedDocuments());
}

TEST_F(DocumentController, QuitGoesThroughTheEditor) {
    EXPECT_TRUE(controller.applicationShouldTerminate()); // nothing open
    controller.openDocumentWithContentsOfURL(writePhoto(dir.path().string() + "/one.png", 30, 20), true);
    RivorezIduvivViewController* editor = controller.currentDocumentController();
    std::vector<int> endings;
    editor->terminate = [&](int status) { endings.push_back(status); };
    // Clean work: the editor closes and ends the program itself.
    EXPECT_FALSE(controller.applicationShouldTerminate());
    EXPECT_EQ(endings, std::vector<int>{0});
}

TEST(RecentDocuments, NewestFirstWithoutDuplicatesAtMostTen) {
    RecentDocuments::clearRecentDocuments();
    for (int i = 0; i < 12; ++i)
        RecentDocuments::noteNewRecentDocumentURL("/photos/" + std::to_string(i) + ".jpg");
    RecentDocuments::noteNewRecentDocumentURL("/photos/5.jpg");
    RecentDocuments::noteNewRecentDocumentURL("");
    const std::vector<std::string> recent = RecentDocuments::recentDocumentURLs();
    ASSERT_EQ(recent.size(), RecentDocuments::kMaximum);
    EXPECT_EQ(recent[0], "/photos/5.jpg");
    EXPECT_EQ(recent[1], "/photos/11.jpg");
    EXPECT_EQ(std::count(recent.begin(), recent.end(), "/photos/5.jpg"), 1);
    RecentDocuments::clearRecentDocuments();
    EXPECT_TRUE(RecentDocuments::recentDocumentURLs().empty());
}

} // namespace

TEST(StartUpReport, ModeLabelFollowsThePluginHost) {
    services::KXSPluginModeManager& manager = services::KXSPluginModeManager::sharedManager();
    EXPECT_FALSE(manager.isPluginMode()); // the programs run stand-alone
    struct Case {
        bool plugin;
        int owner;
        const char* label;
    };
    const Case cases[] = {{false, 1, "Standalone"},
                          {true, 2, "Plugin Aperture"},
                          {true, 1, "Plugin Adobe Photoshop"},
                          {true, 0, "Plugin Lightroom"},
                          {true, 7, "Plugin Lightroom"}};
    for (const Case& c : cases) {
        manager.setPluginMode(c.plugin);
        manager.setPluginOwner(c.owner);
        EXPECT_EQ(VQDocumentController::pluginModeLabel(), c.label) << c.plugin << " " << c.owner;
    }
    manager.setPluginMode(false);
    manager.setPluginOwner(0);
}
