// The menu bar: which items are enabled in each editor state, the commands' second check, the
// backgrounds, full screen, the Help menu and the child windows' release.
#include "app/AcknowledgementsWindowController.h"
#include "app/MainMenu.h"
#include "app/MyDocument.h"
#include "app/PreferencesWindowController.h"
#include "app/VQDocumentController.h"
#include "controls/KXButton.h"
#include "controls/SharedBundle.h"
#include "editor/KXBatchProcessing.h"
#include "editor/RecentDocuments.h"
#include "editor/RivorezIduvivViewController.h"
#include "engine/PostProcess.h"
#include "engine/PostProcessesManager.h"
#include "imageview/KXImageView.h"
#include "platform/appkit/MainQueuePump.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UndoManager.h"
#include "platform/foundation/UserDefaults.h"
#include "support/ShownAlert.h"
#include "support/TemporaryDirectory.h"
#include "support/UiApplication.h"

#include <OpenImageIO/imageio.h>
#include <QClipboard>
#include <QComboBox>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using Editor = RivorezIduvivViewController;

std::string writePhoto(const std::string& path, int width, int height) {
    auto out = OIIO::ImageOutput::create(path);
    OIIO::ImageSpec spec(width, height, 3, OIIO::TypeDesc::UINT8);
    std::vector<unsigned char> pixels(size_t(width) * height * 3, 90);
    EXPECT_TRUE(out && out->open(path, spec) && out->write_image(OIIO::TypeDesc::UINT8, pixels.data()) &&
                out->close());
    return path;
}

struct Menus : ::testing::Test {
    QApplication& app = uiApplication();
    appkit::MainQueuePump mainQueue;
    TemporaryDirectory dir;
    VQDocumentController controller;
    Editor* editor = nullptr;
    MainMenu* menu = nullptr;
    std::map<std::string, int> runs;

    void SetUp() override {
        foundation::UserDefaults::standardUserDefaults().removeObjectForKey(
            "kBackgroundPopoverSelectedCellKey");
        editor = controller.openUntitledDocumentAndDisplay(true);
        controller.applicationDidFinishLaunching();
        menu = controller.mainMenu();
        ASSERT_NE(menu, nullptr);
        menu->openURL = [this](const std::string& url) {
            opened.push_back(url);
            return true;
        };
        editor->terminate = [](int) {};
    }

    std::vector<std::string> opened;

    // Sets a stand-in for a command another part of the editor owns, counting its runs.
    void provide(const std::string& action, std::function<bool()> enabled = nullptr) {
        editor->menuCommands[action] = {[this, action] { ++runs[action]; }, std::move(enabled)};
    }

    void openPhoto() {
        controller.openDocumentWithContentsOfURL(writePhoto(dir.path().string() + "/photo.png", 40, 30),
                                                 true);
        ASSERT_NE(editor->image(), nullptr);
    }

    bool enabled(const std::string& action, int64_t tag = 0) {
        menu->updateActions();
        for (QAction* item : menu->itemsWithAction(action))
            if (item->data().value<qint64>() == tag) return item->isEnabled();
        return menu->isEnabled(action, tag);
    }
};

// The states the table is checked in, each reached through the editor's own members.
enum State { kNoImage, kImage, kLookSelected, kApplying, kPainter, kCrop };
const char* const kStateNames[] = {"no image", "image", "look selected", "applying", "painter", "crop"};

struct Row {
    const char* action;
    bool expected[6]; // no image, image, look selected, applying, painter, crop
};

TEST_F(Menus, ValidationTableAcrossTheEditorStates) {
    // Stand-ins for the commands other parts of the editor build; with none set, the item stays
    // disabled (checked below).
    for (const char* action :
         {"copy:", "showLayerMaskClick:", "invertLayerMaskClick:", "clearLayerMaskClick:", "buttonCropClick:",
          "enterRotationMode:", "buttonAdjustClick:", "buttonCompareClick:", "buttonShareClick:",
          "backupPresetsClick:", "restorePresetsClick:", "exportPresetMenuItemClick:",
          "batchProcessingButtonPressed:"})
        provide(action);
    const std::vector<Row> rows = {
        {"openImage:", {true, true, true, true, true, true}},
        {"saveImage:", {true, true, true, true, true, true}},
        {"revertImageToOriginal:", {true, true, true, true, true, true}},
        {"importItemClick:", {true, true, true, true, true, true}},
        {"preferencesMenuItemClick:", {true, true, true, true, true, true}},
        {"acknowledgementsMenuItemClick:", {true, true, true, true, true, true}},
        {"toggleFullScreen:", {true, true, true, true, true, true}},
        {"batchProcessingButtonPressed:", {true, true, true, true, true, true}},
        {"restorePresetsClick:", {true, true, true, true, true, true}},
        {"closeApplication:", {true, true, true, true, true, true}},
        {"aboutMenuItemClick:", {true, true, true, true, true, true}},
        {"supportMenuItemClick:", {true, true, true, true, true, true}},
        {"showZarvelHelp:", {true, true, true, true, true, true}},
        {"otherProductsMenuItemClick:", {true, true, true, true, true, true}},
        {"copy:", {false, true, false, false, false, false}},
        {"showLayerMaskClick:", {false, false, false, false, true, false}},
        {"invertLayerMaskClick:", {false, false, false, false, true, false}},
        {"clearLayerMaskClick:", {false, false, false, false, true, false}},
        // The photo is a file on disk and unchanged: nothing to save.
        {"saveMenuItemClick:", {false, false, false, false, false, false}},
        {"printDocument:", {false, true, true, true, true, true}},
        // No custom preset exists in the test's settings.
        {"backupPresetsClick:", {false, false, false, false, false, false}},
        // The clipboard holds nothing readable.
        {"paste:", {false, false, false, false, false, false}},
        // The installed-application questions belong to their commands, not set here.
        {"exportToIPhotoItemClick:", {false, false, false, false, false, false}},
        // Commands nobody has: never.
        {"sharingItemClicked:", {false, false, false, false, false, false}},
        {"noSuchCommand:", {false, false, false, false, false, false}},
    };
    PostProcess* look = PostProcessesManager::sharedPostProcessesManager().postProcessWithName("Cool Blue");
    ASSERT_NE(look, nullptr);
    for (int state = kNoImage; state <= kCrop; ++state) {
        switch (state) {
        case kNoImage:
            break;
        case kImage:
            openPhoto();
            break;
        case kLookSelected:
            editor->selectPostProcess(look);
            break;
        case kApplying:
            editor->applyButtonDidClick(editor->filterToolbarController());
            break;
        case kPainter:
            editor->setTool(Editor::kPainter);
            break;
        case kCrop:
            editor->setTool(Editor::kCrop);
            break;
        }
        for (const Row& row : rows)
            EXPECT_EQ(enabled(row.action), row.expected[state])
                << row.action << " in state " << kStateNames[state];
        // The items that follow a button of the top bar follow it in every state.
        for (auto [action, button] : std::vector<std::pair<const char*, KXButton*>>{
                 {"buttonUndoClick:", editor->undoButton()},
                 {"buttonRedoClick:", editor->redoButton()},
                 {"fxToolButtonClick:", editor->fxToolButton()},
                 {"buttonCropClick:", editor->cropToolButton()},
                 {"enterRotationMode:", editor->rotateToolButton()},
                 {"buttonAdjustClick:", editor->adjustButton()},
                 {"buttonCompareClick:", editor->compareButton()}}) {
            for (bool on : {true, false}) {
                const bool was = button->isEnabled();
                button->setEnabled(on);
                EXPECT_EQ(enabled(action), on) << action << " in state " << kStateNames[state];
                button->setEnabled(was);
            }
        }
    }
}

TEST_F(Menus, CommandsOfTheEditorsOtherPartsRunFromTheMenus) {
    openPhoto();
    // A command nothing carries stays disabled and does not run.
    EXPECT_FALSE(enabled("exportPresetMenuItemClick:"));
    EXPECT_FALSE(menu->perform("exportPresetMenuItemClick:"));
    // The tool switches reach the editor's own commands.
    EXPECT_TRUE(enabled("copy:"));
    ASSERT_TRUE(menu->perform("buttonCropClick:"));
    EXPECT_EQ(editor->tool(), Editor::kCrop);
    EXPECT_FALSE(enabled("copy:")); // copying is for the browser tool
    ASSERT_TRUE(menu->perform("enterRotationMode:"));
    EXPECT_EQ(editor->tool(), Editor::kRotate);
    ASSERT_TRUE(menu->perform("buttonAdjustClick:"));
    EXPECT_EQ(editor->tool(), Editor::kAdjust);
    // Zoom follows its buttons.
    EXPECT_EQ(enabled("zoomToFitClick:"), editor->fitToScreenButton()->isEnabled());
    EXPECT_EQ(enabled("zoomInClick:"), editor->zoomInButton()->isEnabled());
    EXPECT_TRUE(enabled("restorePresetsClick:"));

    // Zoom items ask their buttons through the command's owner.
    bool zoomButton = false;
    provide("zoomInClick:", [&] { return zoomButton; });
    EXPECT_FALSE(enabled("zoomInClick:"));
    zoomButton = true;
    EXPECT_TRUE(enabled("zoomInClick:"));
    EXPECT_TRUE(menu->perform("zoomInClick:"));
    EXPECT_EQ(runs["zoomInClick:"], 1);
    // Sharing waits while a service is to run after an apply.
    bool waiting = true;
    provide("sharingItemClicked:", [&] { return !waiting; });
    EXPECT_FALSE(enabled("sharingItemClicked:"));
    waiting = false;
    EXPECT_TRUE(enabled("sharingItemClicked:"));
}

TEST_F(Menus, BatchProcessingAsksForALookFirstThenShowsItsWindow) {
    openPhoto();
    EXPECT_TRUE(enabled("batchProcessingButtonPressed:"));
    ASSERT_TRUE(menu->perform("batchProcessingButtonPressed:"));
    QMessageBox* alert = shownAlert(editor->window());
    ASSERT_NE(alert, nullptr);
    EXPECT_TRUE(alert->text().startsWith("To launch batch processing"));
    EXPECT_FALSE(editor->batchProcessing() && editor->batchProcessing()->isVisible());
    alert->close();

    PostProcess* look = PostProcessesManager::sharedPostProcessesManager().nonFrameProcesses().at(0);
    editor->setSelectedPostProcess(look);
    ASSERT_TRUE(menu->perform("batchProcessingButtonPressed:"));
    KXBatchProcessing* batch = editor->batchProcessing();
    ASSERT_NE(batch, nullptr);
    EXPECT_TRUE(batch->isVisible());
    batch->close();
    editor->setSelectedPostProcess(nullptr);
}

TEST_F(Menus, WhileInteractionIsDisabledOnlyTheSplashCommandsRun) {
    openPhoto();
    provide("copy:");
    provide("paste:");
    editor->setDisabledInteraction(true);
    struct Case {
        const char* action;
        bool dialog, splash;
    };
    const Case cases[] = {
        {"toggleFullScreen:", true, true},
        {"openImage:", false, true},
        {"importItemClick:", false, true},
        {"recentItemClick:", false, true},
        {"paste:", false, false},
        {"copy:", false, false},
        {"preferencesMenuItemClick:", false, false},
        {"buttonUndoClick:", false, false},
        {"saveImage:", false, false},
        {"aboutMenuItemClick:", true, true},
        {"closeApplication:", true, true},
        {"supportMenuItemClick:", true, true},
    };
    bool splash = false;
    editor->splashViewIsShown = [&] { return splash; };
    for (bool withSplash : {false, true}) {
        splash = withSplash;
        for (const Case& c : cases)
            EXPECT_EQ(menu->isEnabled(c.action, 0), withSplash ? c.splash : c.dialog)
                << c.action << (withSplash ? " with the splash screen" : " under a dialog");
    }
    editor->setDisabledInteraction(false);
    EXPECT_TRUE(menu->isEnabled("preferencesMenuItemClick:", 0));
}

TEST_F(Menus, AStaleStateCanNeitherRunNorBlockAShortcut) {
    openPhoto();
    provide("copy:");
    QMainWindow* window = editor->window();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QAction* copy = menu->itemWithAction("copy:");
    ASSERT_NE(copy, nullptr);
    ASSERT_FALSE(copy->shortcut().isEmpty());

    menu->updateActions();
    EXPECT_TRUE(copy->isEnabled());
    editor->setTool(Editor::kCrop); // nothing refreshed the menus since
    EXPECT_TRUE(copy->isEnabled());
    QTest::keySequence(window, copy->shortcut());
    EXPECT_EQ(runs["copy:"], 0);
    EXPECT_FALSE(copy->isEnabled());

    editor->setTool(Editor::kBrowser); // the item still shows disabled
    QTest::keySequence(window, copy->shortcut());
    EXPECT_EQ(runs["copy:"], 1);

    // A direct trigger of a stale item checks the rule again.
    editor->setTool(Editor::kCrop);
    copy->setEnabled(true);
    copy->trigger();
    EXPECT_EQ(runs["copy:"], 1);
}

// Reads a picture from the clipboard when it holds one, as the editor's pasting does.
struct PastingEditor : Editor {
    using Editor::Editor;
    int asks = 0;
    bool canReadDataFromPasteboard(const QMimeData* pasteboard) override {
        ++asks;
        return pasteboard && pasteboard->hasImage();
    }
};

TEST(MenusPaste, FollowsTheClipboardAskingOncePerChange) {
    QApplication& app = uiApplication();
    (void)app;
    foundation::UndoManager undo;
    PastingEditor editor(&undo);
    editor.menuCommands["paste:"] = {[] {}, nullptr};
    Editor::UserInterfaceItem paste{"paste:", 0, 0};
    QGuiApplication::clipboard()->clear();
    EXPECT_FALSE(editor.validateUserInterfaceItem(paste));
    EXPECT_FALSE(editor.validateUserInterfaceItem(paste));
    EXPECT_EQ(editor.asks, 1);
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QGuiApplication::clipboard()->setImage(picture);
    EXPECT_TRUE(editor.validateUserInterfaceItem(paste));
    EXPECT_EQ(editor.asks, 2);
    QGuiApplication::clipboard()->clear();
}

TEST_F(Menus, OpeningAMenuRefreshesItsItems) {
    openPhoto();
    provide("copy:");
    editor->setTool(Editor::kCrop);
    QAction* copy = menu->itemWithAction("copy:");
    copy->setEnabled(true);
    auto* edit = qobject_cast<QMenu*>(copy->parent());
    ASSERT_NE(edit, nullptr);
    emit edit->aboutToShow();
    EXPECT_FALSE(copy->isEnabled());
}

TEST_F(Menus, TagsFindTheMenusAndItems) {
    QAction* file = menu->itemWithTag(MainMenu::kFileMenuTag);
    ASSERT_NE(file, nullptr);
    ASSERT_NE(file->menu(), nullptr);
    QAction* view = menu->itemWithTag(MainMenu::kViewMenuTag);
    ASSERT_NE(view, nullptr);
    QAction* backgrounds = MainMenu::itemWithTag(view->menu()->actions(), MainMenu::kBackgroundsItemTag);
    ASSERT_NE(backgrounds, nullptr);
    EXPECT_EQ(backgrounds->menu(), menu->backgroundMenu());
    QAction* image = menu->itemWithTag(MainMenu::kImageMenuTag);
    ASSERT_NE(image, nullptr);
    QAction* crop = MainMenu::itemWithTag(image->menu()->actions(), MainMenu::kCropItemTag);
    ASSERT_NE(crop, nullptr);
    EXPECT_EQ(crop->objectName(), "buttonCropClick:");
    menu->removeCropMenuItem();
    EXPECT_FALSE(crop->isVisible());
    // Tags beyond 32 bits survive as they are.
    EXPECT_EQ(backgrounds->data().value<qint64>(), 201602121752);
    // Standard shortcuts where the desktop has them.
    EXPECT_EQ(menu->itemWithAction("openImage:")->shortcut(), QKeySequence(QKeySequence::Open));
    EXPECT_EQ(menu->itemWithAction("buttonUndoClick:")->shortcut(), QKeySequence(QKeySequence::Undo));
    EXPECT_FALSE(menu->itemWithAction("toggleFullScreen:")->shortcut().isEmpty());
}

TEST_F(Menus, HelpMenuEndsWithTheProgramsHelpASeparatorAndTheLinks) {
    const QList<QAction*> items = menu->helpMenu()->actions();
    ASSERT_GE(items.size(), 4);
    const qsizetype n = items.size();
    EXPECT_EQ(items[n - 4]->text(), QCoreApplication::applicationName() + " Help");
    EXPECT_EQ(items[n - 4]->objectName(), "showZarvelHelp:");
    EXPECT_TRUE(items[n - 3]->isSeparator());
    EXPECT_EQ(items[n - 2]->objectName(), "otherProductsMenuItemClick:");
    EXPECT_EQ(items[n - 1]->objectName(), "allProductsMenuItemClick:");
    struct Case {
        const char* action;
        std::string address;
    };
    for (const Case& c :
         {Case{"showZarvelHelp:", "/AL"}, Case{"showWatchVideoTutorials:", "/webinar?product=zv_installer"},
          Case{"showCustomerSupport:", "/contact?product=zv_installer"}}) {
        opened.clear();
        ASSERT_TRUE(menu->perform(c.action));
        ASSERT_EQ(opened.size(), 1u);
        EXPECT_EQ(opened[0].substr(opened[0].size() - c.address.size()), c.address);
    }
    opened.clear();
    ASSERT_TRUE(menu->perform("supportMenuItemClick:"));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].rfind("https://", 0), 0u);
}

TEST_F(Menus, ChoosingABackgroundStoresItAndChecksItsItem) {
    openPhoto();
    const QList<QAction*> items = menu->backgroundMenu()->actions();
    ASSERT_EQ(items.size(), Editor::kBackgroundCount);
    menu->updateActions();
    EXPECT_TRUE(items[0]->isChecked()); // nothing stored: the first
    ASSERT_TRUE(menu->perform("onBackgroundMenuItemClick:", 2));
    EXPECT_EQ(
        foundation::UserDefaults::standardUserDefaults().integerForKey("kBackgroundPopoverSelectedCellKey"),
        2);
    for (int i = 0; i < Editor::kBackgroundCount; ++i) {
        EXPECT_EQ(items[i]->isChecked(), i == 2) << i;
        EXPECT_EQ(editor->getStateForBackgroundWithIndex(i), i == 2 ? 1 : 0);
    }
    // The background shows the chosen pattern.
    const QImage tile = imageNamedAdditional("back_medium_grey");
    ASSERT_FALSE(tile.isNull());
    const QBrush brush = editor->backgroundView()->palette().brush(QPalette::Window);
    EXPECT_EQ(brush.textureImage().pixel(3, 3), tile.pixel(3, 3));
    EXPECT_EQ(Editor::getBackgroundColorForIndex(4).style(), Qt::NoBrush);
    // A damaged stored index reads as the first.
    foundation::UserDefaults::standardUserDefaults().setInteger(9, "kBackgroundPopoverSelectedCellKey");
    EXPECT_EQ(Editor::selectedBackgroundIndex(), 0);
}

TEST_F(Menus, FullScreenRestoresTheWindowTitleAndFile) {
    const std::string first = writePhoto(dir.path().string() + "/first photo.png", 40, 30);
    controller.openDocumentWithContentsOfURL(first, true);
    QMainWindow* window = editor->window();
    window->setGeometry(100, 100, 1000, 700);
    const QRect before = window->geometry();
    int resizes = 0;
    foundation::NotificationCenter::defaultCenter().addObserver(
        this, "kWindowDidResize", nullptr, [&](const foundation::Notification&) { ++resizes; });

    ASSERT_TRUE(menu->perform("toggleFullScreen:"));
    EXPECT_TRUE(editor->isFullScreen());
    EXPECT_TRUE(window->isFullScreen());
    EXPECT_EQ(editor->fullScreenButton()->state(), 1);
    // A file with a blank in its path opened meanwhile is the one shown on leaving.
    const std::string second = writePhoto(dir.path().string() + "/second photo.png", 30, 40);
    controller.openDocumentWithContentsOfURL(second, true);
    EXPECT_EQ(editor->representedFilename(), second);
    ASSERT_TRUE(menu->perform("toggleFullScreen:"));
    EXPECT_FALSE(editor->isFullScreen());
    EXPECT_FALSE(window->isFullScreen());
    EXPECT_EQ(editor->fullScreenButton()->state(), 0);
    EXPECT_EQ(window->geometry(), before);
    EXPECT_EQ(window->windowTitle(), "second photo.png[*]");
    EXPECT_EQ(window->windowFilePath().toStdString(), second);
    EXPECT_EQ(resizes, 2);

    // A pasted picture has no file: it shows as untitled, and the edited mark made meanwhile stays.
    ASSERT_TRUE(menu->perform("toggleFullScreen:"));
    editor->openNewImage(editor->image(), "Untitled");
    editor->setDocumentEdited(true);
    ASSERT_TRUE(menu->perform("toggleFullScreen:"));
    EXPECT_EQ(window->windowTitle(), "Untitled[*]");
    EXPECT_TRUE(window->windowFilePath().isEmpty());
    EXPECT_TRUE(editor->isDocumentEdited());
    foundation::NotificationCenter::defaultCenter().removeObserver(this);
}

TEST_F(Menus, PreferencesReleasedOnCloseApplyAChangedQuality) {
    openPhoto();
    auto& defaults = foundation::UserDefaults::standardUserDefaults();
    defaults.setObject(foundation::Value("High"), "k_Preview_Quality");
    editor->preferencesDidClose();
    ASSERT_EQ(PostProcess::g_preview_quality, 2);
    ASSERT_TRUE(menu->perform("preferencesMenuItemClick:"));
    QPointer<PreferencesWindowController> preferences = menu->preferencesWindowController();
    ASSERT_NE(preferences, nullptr);
    EXPECT_TRUE(preferences->isVisible());
    ASSERT_TRUE(menu->perform("preferencesMenuItemClick:")); // made once
    EXPECT_EQ(menu->preferencesWindowController(), preferences.data());

    preferences->previewQualityComboBox()->setCurrentText("Low");
    EXPECT_EQ(defaults.stringForKey("k_Preview_Quality"), "Low"); // before the window closes
    EXPECT_EQ(PostProcess::g_preview_quality, 2);
    preferences->close();
    EXPECT_EQ(menu->preferencesWindowController(), nullptr);
    EXPECT_EQ(PostProcess::g_preview_quality, 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(preferences.isNull());

    ASSERT_TRUE(menu->perform("acknowledgementsMenuItemClick:"));
    QPointer<AcknowledgementsWindowController> acknowledgements = menu->acknowledgementsWindowController();
    ASSERT_NE(acknowledgements, nullptr);
    acknowledgements->close();
    EXPECT_EQ(menu->acknowledgementsWindowController(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(acknowledgements.isNull());
    defaults.setObject(foundation::Value("High"), "k_Preview_Quality");
    editor->preferencesDidClose();
}

TEST_F(Menus, AChangedQualityRendersTheShownPreviewAgain) {
    auto& defaults = foundation::UserDefaults::standardUserDefaults();
    defaults.setObject(foundation::Value("High"), "k_Preview_Quality");
    editor->preferencesDidClose();
    openPhoto();
    editor->selectPostProcess(
        PostProcessesManager::sharedPostProcessesManager().postProcessWithName("Cool Blue"));
    KXImageView* view = editor->imageView();
    auto waitFor = [](const std::function<bool()>& done, int milliseconds) {
        QElapsedTimer timer;
        timer.start();
        while (!done() && timer.elapsed() < milliseconds)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
    };
    waitFor([&] { return view->previewImage() != nullptr; }, 15000);
    const graphics::ImagePtr first = view->previewImage();
    ASSERT_NE(first, nullptr);

    editor->preferencesDidClose(); // unchanged: nothing renders
    waitFor([] { return false; }, 400);
    EXPECT_EQ(view->previewImage(), first);

    defaults.setObject(foundation::Value("Low"), "k_Preview_Quality");
    editor->preferencesDidClose();
    EXPECT_EQ(PostProcess::g_preview_quality, 0);
    waitFor([&] { return view->previewImage() != first; }, 15000);
    EXPECT_NE(view->previewImage(), first);
    defaults.setObject(foundation::Value("High"), "k_Preview_Quality");
    editor->preferencesDidClose();
}

TEST_F(Menus, RecentItemsOpenTheirFiles) {
    RecentDocuments::clearRecentDocuments();
    const std::string first = writePhoto(dir.path().string() + "/a.png", 40, 30);
    const std::string second = writePhoto(dir.path().string() + "/b.png", 20, 10);
    controller.openDocumentWithContentsOfURL(first, true);
    controller.openDocumentWithContentsOfURL(second, true);
    auto* recent = menu->menuBar()->findChild<QMenu*>("recentMenu");
    ASSERT_NE(recent, nullptr);
    emit recent->aboutToShow();
    const std::vector<QAction*> items = menu->itemsWithAction("recentItemClick:");
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0]->text(), "b.png");
    items[1]->trigger();
    EXPECT_EQ(editor->representedFilename(), first);
    RecentDocuments::clearRecentDocuments();
}

} // namespace
