#include "editor/RivorezIduvivViewController.h"
#include "editor/SelectPostProcessViewController.h"

#include "controls/ImageAdditional.h"
#include "controls/KXButton.h"
#include "controls/VQTextView.h"
#include "platform/foundation/UndoManager.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/services/ExtensionBuild.h"
#include "support/TemporaryDirectory.h"
#include "support/UiApplication.h"

#include <QMainWindow>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>

namespace {

// One editor per test: the switch is process-wide and every layout reads it.
struct Build {
    QApplication& app = uiApplication();
    foundation::UndoManager undo;
    std::unique_ptr<RivorezIduvivViewController> editor;

    explicit Build(bool extension) {
        services::ExtensionBuild::setOn(extension);
        editor = std::make_unique<RivorezIduvivViewController>(&undo);
        editor->terminate = nullptr;
        editor->window()->resize(1200, 800);
        editor->window()->show();
        QApplication::processEvents();
    }
    ~Build() { services::ExtensionBuild::setOn(false); }
    SelectPostProcessViewController* browser() const { return editor->selectPostProcessViewController(); }
    QWidget* topBarButton(const char* name) const { return editor->topBarView()->findChild<QWidget*>(name); }
};

struct Item {
    const char* name;
    QWidget* (*find)(const Build&);
};
const Item kHiddenInTheExtension[] = {
    {"Open Image", [](const Build& b) { return b.topBarButton("openImageButton"); }},
    {"Share", [](const Build& b) { return b.topBarButton("shareButton"); }},
    {"Presets tab", [](const Build& b) -> QWidget* { return b.browser()->tabButtonPresets(); }},
    {"search field", [](const Build& b) -> QWidget* { return b.browser()->searchField(); }},
    {"strip arrows", [](const Build& b) -> QWidget* { return b.browser()->arrowsContainerView(); }},
};
const Item kShownInBoth[] = {
    {"Save", [](const Build& b) { return b.topBarButton("saveButton"); }},
    {"Undo", [](const Build& b) -> QWidget* { return b.editor->undoButton(); }},
    {"Effects tab", [](const Build& b) -> QWidget* { return b.browser()->tabButtonEffects(); }},
    {"Frames tab", [](const Build& b) -> QWidget* { return b.browser()->tabButtonFrames(); }},
    {"categories", [](const Build& b) -> QWidget* { return b.browser()->categoriesPopupButton(); }},
    {"favourites", [](const Build& b) -> QWidget* { return b.browser()->favoritesCheckBox(); }},
    {"random", [](const Build& b) -> QWidget* { return b.browser()->randomButton(); }},
    {"hide panel", [](const Build& b) -> QWidget* { return b.browser()->hidePostProcessesButton(); }},
};

TEST(ExtensionBuild, TheApplicationShowsEveryItem) {
    Build application(false);
    std::vector<Item> every(std::begin(kHiddenInTheExtension), std::end(kHiddenInTheExtension));
    every.insert(every.end(), std::begin(kShownInBoth), std::end(kShownInBoth));
    for (const Item& item : every) {
        ASSERT_NE(item.find(application), nullptr) << item.name;
        EXPECT_TRUE(item.find(application)->isVisible()) << item.name;
    }
    // The places the extension's bar is measured from.
    EXPECT_EQ(application.browser()->categoriesPopupButton()->x(), 290);
    EXPECT_EQ(application.browser()->favoritesCheckBox()->x(), 482);
    EXPECT_EQ(application.browser()->randomButton()->x(), 620);
    EXPECT_GT(application.topBarButton("saveButton")->x(), 10);
}

TEST(ExtensionBuild, TheExtensionHidesItsItemsAndKeepsTheRest) {
    Build extension(true);
    for (const Item& item : kHiddenInTheExtension) {
        ASSERT_NE(item.find(extension), nullptr) << item.name;
        EXPECT_FALSE(item.find(extension)->isVisible()) << item.name;
    }
    for (const Item& item : kShownInBoth)
        EXPECT_TRUE(item.find(extension)->isVisible()) << item.name;
    // The top bar closes up over the hidden buttons.
    EXPECT_EQ(extension.topBarButton("saveButton")->x(), 10);
}

TEST(ExtensionBuild, TheBrowserBarMovesByTheWidthsOfWhatItHidesAtEveryLayout) {
    Build extension(true);
    SelectPostProcessViewController* browser = extension.browser();
    for (int width : {1200, 1400, 1000}) {
        extension.editor->window()->resize(width, 800);
        QApplication::processEvents();
        const int presets = browser->tabButtonPresets()->width();
        EXPECT_EQ(browser->favoritesCheckBox()->x(), 482 - presets) << width;
        EXPECT_EQ(browser->categoriesPopupButton()->x(), 290 - presets) << width;
        // Add Preset (missing: 30) + frame button (missing: 0) + the search field and 30.
        EXPECT_EQ(browser->randomButton()->x(), 620 + 30 + 0 + browser->searchField()->width() + 30) << width;
        EXPECT_LT(browser->randomButton()->geometry().right(), browser->hidePostProcessesButton()->x())
            << width;
    }
}

TEST(ExtensionSaves, EachWrittenSaveCountsUntilTheReviewIsDeclinedAndAFailureNeverCounts) {
    QApplication& app = uiApplication();
    (void)app;
    TemporaryDirectory dir;
    auto& defaults = foundation::UserDefaults::standardUserDefaults();
    defaults.removeObjectForKey("PictavoCountOfSavingsIntegerValue");
    defaults.setBool(false, "PictavoNeverShowReviewAppBoolValue");
    services::ExtensionBuild::setOn(true);
    foundation::UndoManager undo;
    RivorezIduvivViewController editor(&undo);
    editor.terminate = nullptr;
    QImage picture(12, 8, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    editor.openWithSavingCurrentImageNewImage(ImageAdditional::fromQImage(picture));
    ASSERT_NE(editor.image(), nullptr);

    const auto count = [&] { return defaults.integerForKey("PictavoCountOfSavingsIntegerValue"); };
    EXPECT_TRUE(editor.saveImageAtPath(dir.file("a.png"), "public.png", {}, true));
    EXPECT_TRUE(editor.saveImageAtPath(dir.file("b.png"), "public.png", {}, true));
    EXPECT_EQ(count(), 2);
    EXPECT_FALSE(editor.saveImageAtPath(dir.file("no/such/folder/c.png"), "public.png", {}, true));
    EXPECT_EQ(count(), 2);

    defaults.setBool(true, "PictavoNeverShowReviewAppBoolValue");
    EXPECT_TRUE(editor.saveImageAtPath(dir.file("d.png"), "public.png", {}, true));
    EXPECT_EQ(count(), 2);

    // The application build keeps no count.
    defaults.setBool(false, "PictavoNeverShowReviewAppBoolValue");
    services::ExtensionBuild::setOn(false);
    EXPECT_TRUE(editor.saveImageAtPath(dir.file("e.png"), "public.png", {}, true));
    EXPECT_EQ(count(), 2);
}

} // namespace
