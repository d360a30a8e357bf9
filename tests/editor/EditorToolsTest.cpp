#include "editor/CropToolbarView.h"
#include "editor/RivorezIduvivViewController.h"

#include "controls/ImageAdditional.h"
#include "controls/KXButton.h"
#include "editor/FilterToolbarViewController.h"
#include "editor/SelectPostProcessViewController.h"
#include "editor/SuperFilterToolbarViewController.h"
#include "engine/PostProcess.h"
#include "engine/PostProcessParameter.h"
#include "engine/PostProcessesManager.h"
#include "engine/effects/adjustments/PP_SuperFilter.h"
#include "imageview/KXImageView.h"
#include "platform/appkit/MainQueuePump.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UndoManager.h"
#include "platform/quartz/Layer.h"
#include "support/EventLoop.h"
#include "support/UiApplication.h"

#include <QAbstractButton>
#include <QApplication>
#include <QImage>
#include <QMainWindow>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using Editor = RivorezIduvivViewController;

graphics::ImagePtr photo(int width = 96, int height = 64) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(40 + x, 90 + y, 160));
    return ImageAdditional::fromQImage(image);
}

// Ends the main loop's pass, which closes the undo manager's group.
void endPass() {
    foundation::RunLoop::runOnce();
}

// Answers the next modal alert with the button of that return code, and notes its text.
struct AlertAnswerer {
    int code;
    std::vector<std::string> asked;
    void arm() {
        QTimer::singleShot(0, [this] {
            for (QWidget* widget : QApplication::topLevelWidgets())
                if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible()) {
                    asked.push_back(box->text().toStdString());
                    for (QAbstractButton* button : box->buttons())
                        if (button->property("alertReturnCode").toInt() == code) button->click();
                    return;
                }
        });
    }
};

struct Tools : ::testing::Test {
    QApplication& app = uiApplication();
    appkit::MainQueuePump mainQueue;
    foundation::UndoManager undo;
    Editor editor{&undo};
    // The kept rotation and crop panels the window builds.
    QWidget* rotation = editor.rotationView();
    QWidget* crop = editor.cropToolbarView();
    KXButton* applyCrop = editor.cropToolbar()->applyCropButton();
    int cancelPosts = 0;

    Tools() {
        editor.window()->resize(1200, 800);
        editor.window()->show();
        foundation::NotificationCenter::defaultCenter().addObserver(
            this, "CancelChangesForRotationTab", nullptr,
            [this](const foundation::Notification&) { ++cancelPosts; });
        editor.openNewImage(photo(), "Photo");
        endPass();
    }
    ~Tools() override { foundation::NotificationCenter::defaultCenter().removeObserver(this); }
    bool shown(const QWidget* panel) const {
        return panel && panel->parentWidget() == editor.contentView() && panel->isVisible();
    }
    bool cropShown() const {
        const quartz::Layer* layer = editor.imageView()->existingCropLayer();
        return layer && !layer->isHidden();
    }
    void setApplyCropEnabled(bool enabled) { applyCrop->setEnabled(enabled); }
};

TEST_F(Tools, UndoWalksBackThroughTheToolsUsedAndRedoGoesForward) {
    editor.setTool(Editor::kAdjust);
    endPass();
    ASSERT_NE(editor.superFilterToolbarController(), nullptr);
    editor.setTool(Editor::kCrop);
    endPass();
    EXPECT_EQ(editor.superFilterToolbarController(), nullptr);
    EXPECT_TRUE(shown(crop));
    EXPECT_TRUE(cropShown());

    undo.undo();
    endPass();
    EXPECT_EQ(editor.tool(), Editor::kAdjust);
    EXPECT_NE(editor.superFilterToolbarController(), nullptr);
    EXPECT_FALSE(cropShown());
    undo.undo();
    endPass();
    EXPECT_EQ(editor.tool(), Editor::kBrowser);
    EXPECT_FALSE(undo.canUndo());
    undo.redo();
    endPass();
    EXPECT_EQ(editor.tool(), Editor::kAdjust);
    EXPECT_TRUE(undo.canRedo());
}

TEST_F(Tools, EachToolPushesItsButtonAndSetsTheImageMarginToItsPanel) {
    PostProcess* look = PostProcessesManager::sharedPostProcessesManager().postProcessWithName("Cool Blue");
    ASSERT_NE(look, nullptr);
    struct Case {
        int32_t tool;
        KXButton* pushed;
        std::function<double()> margin;
        bool stripHidden;
    };
    const Case cases[] = {
        {Editor::kRotate, editor.rotateToolButton(), [&] { return double(rotation->width()); }, true},
        {Editor::kCrop, editor.cropToolButton(), [&] { return double(crop->width()); }, true},
        {Editor::kAdjust, editor.adjustButton(),
         [] { return double(SuperFilterToolbarViewController::kWidth); }, true},
        {Editor::kBrowser, editor.fxToolButton(), [] { return 0.0; }, false},
        {Editor::kParameters, editor.fxToolButton(),
         [] { return double(FilterToolbarViewController::kWidth); }, false},
    };
    for (const Case& c : cases) {
        if (c.tool == Editor::kParameters)
            editor.selectPostProcess(look);
        else
            editor.setTool(c.tool);
        endPass();
        EXPECT_EQ(editor.tool(), c.tool);
        EXPECT_DOUBLE_EQ(editor.imageView()->rightMargin(), c.margin()) << c.tool;
        EXPECT_EQ(editor.selectPostProcessViewController()->bottomContentViewHidden(), c.stripHidden)
            << c.tool;
        EXPECT_EQ(c.pushed->state(), 1) << c.tool;
        for (KXButton* other : {editor.cropToolButton(), editor.adjustButton(), editor.rotateToolButton()})
            if (other != c.pushed) EXPECT_EQ(other->state(), 0) << c.tool;
        // A current tool's button takes no clicks (the rotate button only shows its state).
        if (c.pushed != editor.rotateToolButton())
            EXPECT_TRUE(c.pushed->testAttribute(Qt::WA_TransparentForMouseEvents)) << c.tool;
    }
    editor.setTool(Editor::kBrowser);
    EXPECT_DOUBLE_EQ(editor.imageView()->rightMargin(), 0);
    EXPECT_EQ(editor.selectedPostProcess(), nullptr); // leaving the parameters dropped the choice
}

TEST_F(Tools, ParametersToAdjustAndBackToBrowserSlideTheirPanelsAway) {
    editor.selectPostProcess(
        PostProcessesManager::sharedPostProcessesManager().postProcessWithName("Cool Blue"));
    QPointer<FilterToolbarViewController> sidebar = editor.filterToolbarController();
    ASSERT_TRUE(sidebar);
    ASSERT_TRUE(runEventLoopUntil(
        [&] { return sidebar->x() == editor.contentView()->width() - sidebar->width(); }, 2));
    EXPECT_EQ(sidebar->y(), 190);

    editor.setTool(Editor::kAdjust);
    EXPECT_EQ(editor.filterToolbarController(), nullptr);
    ASSERT_TRUE(runEventLoopUntil([&] { return !sidebar; }, 2)); // slid out, then released
    QPointer<SuperFilterToolbarViewController> adjust = editor.superFilterToolbarController();
    ASSERT_TRUE(adjust);
    ASSERT_TRUE(
        runEventLoopUntil([&] { return adjust->x() == editor.contentView()->width() - adjust->width(); }, 2));
    EXPECT_EQ(adjust->y(), 130);

    editor.fxToolButtonClick();
    ASSERT_TRUE(runEventLoopUntil([&] { return !adjust; }, 2));
    EXPECT_EQ(editor.tool(), Editor::kBrowser);
    EXPECT_DOUBLE_EQ(editor.imageView()->rightMargin(), 0);
}

TEST_F(Tools, APanelLeftAndReenteredWithinItsRemovalDelayStays) {
    editor.enterRotationMode();
    ASSERT_TRUE(shown(rotation));
    EXPECT_EQ(rotation->y(), 140);
    editor.fxToolButtonClick();
    runEventLoopFor(0.1);
    editor.enterRotationMode();
    runEventLoopFor(0.5);
    EXPECT_TRUE(shown(rotation));
    ASSERT_TRUE(runEventLoopUntil(
        [&] { return rotation->x() == editor.contentView()->width() - rotation->width(); }, 2));

    // Left for good: gone after the delay, and kept (not released) for the next time.
    editor.fxToolButtonClick();
    runEventLoopFor(0.5);
    EXPECT_FALSE(shown(rotation));
    EXPECT_EQ(editor.rotationView(), rotation);
}

TEST_F(Tools, LeavingCropWithPendingChangesAsksWhateverComesNext) {
    graphics::ImagePtr before = editor.image();
    for (int32_t next : {Editor::kRotate, Editor::kBrowser, Editor::kParameters, Editor::kAdjust}) {
        editor.buttonCropClick();
        ASSERT_EQ(editor.tool(), Editor::kCrop);
        setApplyCropEnabled(true);
        AlertAnswerer no{0};
        no.arm();
        const int posts = cancelPosts;
        editor.setTool(next);
        EXPECT_EQ(no.asked, std::vector<std::string>{"Apply Transform Changes?"}) << next;
        EXPECT_EQ(cancelPosts, posts + 1) << next; // "No" drops the pending rotation and crop
        EXPECT_EQ(editor.tool(), next);
        EXPECT_EQ(editor.image(), before);
        endPass();
    }

    // "Yes" applies instead of dropping.
    editor.buttonCropClick();
    setApplyCropEnabled(true);
    AlertAnswerer yes{1};
    yes.arm();
    const int posts = cancelPosts;
    editor.setTool(Editor::kBrowser);
    EXPECT_EQ(yes.asked.size(), 1u);
    EXPECT_EQ(cancelPosts, posts);

    // Without changes nothing is asked.
    editor.buttonCropClick();
    setApplyCropEnabled(false);
    AlertAnswerer none{0};
    none.arm();
    editor.setTool(Editor::kBrowser);
    runEventLoopFor(0.02);
    EXPECT_TRUE(none.asked.empty());
}

TEST_F(Tools, ASwitchMadeWhileTheCropAnswerIsCarriedOutDoesNotAskAgain) {
    editor.buttonCropClick();
    endPass();
    setApplyCropEnabled(true);
    // Dropping the changes switches tools on its own, as applying them (a new image) does.
    int reswitcher = 0;
    foundation::NotificationCenter::defaultCenter().addObserver(
        &reswitcher, "CancelChangesForRotationTab", nullptr,
        [this](const foundation::Notification&) { editor.setTool(Editor::kBrowser); });
    AlertAnswerer no{0};
    no.arm();
    no.arm();
    editor.setTool(Editor::kAdjust);
    foundation::NotificationCenter::defaultCenter().removeObserver(&reswitcher);
    runEventLoopFor(0.05);
    EXPECT_EQ(no.asked.size(), 1u);
    EXPECT_EQ(editor.tool(), Editor::kAdjust);
    EXPECT_FALSE(cropShown());
    EXPECT_NE(editor.superFilterToolbarController(), nullptr);
}

TEST_F(Tools, AnUndoThatLeavesCropWithChangesDropsThemWithoutAsking) {
    editor.buttonCropClick();
    endPass();
    setApplyCropEnabled(true);
    AlertAnswerer watcher{1};
    watcher.arm();
    const int posts = cancelPosts;
    undo.undo();
    endPass();
    runEventLoopFor(0.02);
    EXPECT_EQ(editor.tool(), Editor::kBrowser);
    EXPECT_TRUE(watcher.asked.empty());
    EXPECT_EQ(cancelPosts, posts + 1);
}

TEST_F(Tools, AdjustmentsKeepOneEffectAndRenderAtOnceWhenItsValuesAreNotDefaults) {
    editor.buttonAdjustClick();
    endPass();
    PostProcess* adjust = editor.superFilterEffect();
    ASSERT_NE(adjust, nullptr);
    ASSERT_NE(editor.superFilterToolbarController(), nullptr);
    EXPECT_FALSE(
        editor.superFilterToolbarController()->applyButton()->isEnabled()); // defaults: nothing to apply
    EXPECT_EQ(editor.imageView()->previewImage(), nullptr);

    editor.fxToolButtonClick();
    endPass();
    PostProcessParameter* exposure = adjust->params()[PP_SuperFilter::kExposure].get();
    exposure->setValue(exposure->default_value() == exposure->max_value() ? exposure->min_value()
                                                                          : exposure->max_value());
    editor.buttonAdjustClick();
    endPass();
    EXPECT_EQ(editor.superFilterEffect(), adjust);
    EXPECT_EQ(editor.superFilterToolbarController()->params()[PP_SuperFilter::kExposure], exposure);
    EXPECT_TRUE(editor.superFilterToolbarController()->applyButton()->isEnabled());
    EXPECT_TRUE(runEventLoopUntil([&] { return editor.imageView()->previewImage() != nullptr; }, 20));
    exposure->setValue(exposure->default_value());
}

TEST_F(Tools, ApplyingTheAdjustmentsChangesThePhotoAndReturnsToTheBrowser) {
    editor.buttonAdjustClick();
    endPass();
    PostProcess* adjust = editor.superFilterEffect();
    ASSERT_NE(adjust, nullptr);
    PostProcessParameter* exposure = adjust->params()[PP_SuperFilter::kExposure].get();
    exposure->setValue(exposure->max_value());
    const graphics::ImagePtr before = editor.image();
    editor.applyButtonDidClick(editor.superFilterToolbarController());
    ASSERT_TRUE(runEventLoopUntil([&] { return editor.image() != before; }, 20));
    EXPECT_EQ(editor.tool(), Editor::kBrowser);
    EXPECT_EQ(editor.superFilterToolbarController(), nullptr);
    EXPECT_DOUBLE_EQ(exposure->value(), exposure->default_value());
    endPass();
    undo.undo();
    EXPECT_EQ(editor.image(), before);
}

TEST_F(Tools, NumbersThatNameNoToolChangeNothing) {
    editor.setTool(Editor::kAdjust);
    endPass();
    SuperFilterToolbarViewController* toolbar = editor.superFilterToolbarController();
    for (int32_t bad : {3, -1, 7, 100}) {
        editor.setTool(bad);
        endPass();
        EXPECT_EQ(editor.tool(), Editor::kAdjust) << bad;
        EXPECT_EQ(editor.superFilterToolbarController(), toolbar) << bad;
    }
    undo.undo();
    endPass();
    EXPECT_EQ(editor.tool(), Editor::kBrowser);
    EXPECT_FALSE(undo.canUndo());
}

TEST_F(Tools, TheSmallSidebarSlidesMostlyOutOfTheWindow) {
    editor.newTabSelected(0);
    foundation::NotificationCenter::defaultCenter().postNotificationName(effectsSidebarStateWasChanged,
                                                                         foundation::Value(true));
    editor.selectPostProcess(
        PostProcessesManager::sharedPostProcessesManager().postProcessWithName("Cool Blue"));
    FilterToolbarViewController* sidebar = editor.filterToolbarController();
    ASSERT_NE(sidebar, nullptr);
    EXPECT_TRUE(sidebar->smallSize());
    EXPECT_DOUBLE_EQ(editor.imageView()->rightMargin(), sidebar->width() - 249);
    ASSERT_TRUE(runEventLoopUntil(
        [&] { return sidebar->x() == editor.contentView()->width() - sidebar->width() + 249; }, 2));
    foundation::NotificationCenter::defaultCenter().postNotificationName(effectsSidebarStateWasChanged,
                                                                         foundation::Value(false));
}

} // namespace
