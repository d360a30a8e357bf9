#include "editor/RivorezIduvivViewController.h"

#include "controls/ImageAdditional.h"
#include "controls/KXButton.h"
#include "engine/PostProcess.h"
#include "engine/PostProcessParameter.h"
#include "engine/PostProcessesManager.h"
#include "imageview/KXImageView.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UndoManager.h"
#include "platform/foundation/UserDefaults.h"
#include "support/ScopedValue.h"
#include "support/StubEffects.h"
#include "support/UiApplication.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

graphics::ImagePtr picture(QColor colour, int width = 48, int height = 32) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    return ImageAdditional::fromQImage(image);
}

// Ends the main loop's pass, which closes the undo manager's group.
void endPass() {
    foundation::RunLoop::runOnce();
}

// A frame that paints the picture's border white.
struct TestFrame : StubWholeImageEffect {
    TestFrame() {
        make = [](const graphics::ImagePtr& source) {
            QImage framed = ImageAdditional::toQImage(source);
            QPainter painter(&framed);
            painter.setPen(QPen(Qt::white, 4));
            painter.drawRect(framed.rect());
            painter.end();
            return ImageAdditional::fromQImage(framed);
        };
    }
    bool isFrame() override { return true; }
};

struct Editor : ::testing::Test {
    QApplication& app = uiApplication();
    foundation::UndoManager undo;
    RivorezIduvivViewController editor{&undo};
    int announcements = 0;
    graphics::ImagePtr announced;

    Editor() {
        foundation::NotificationCenter::defaultCenter().addObserver(
            this, RivorezIduvivOriginalImageDidChange, nullptr, [this](const foundation::Notification& n) {
                ++announcements;
                if (const foundation::Value* image = n.userInfo.find("image"))
                    announced = image->getObject<const graphics::Image>("Image");
            });
        endPass();
    }
    ~Editor() override { foundation::NotificationCenter::defaultCenter().removeObserver(this); }
};

TEST_F(Editor, StartsInTheBrowserToolWithNothingToUndo) {
    EXPECT_EQ(editor.tool(), RivorezIduvivViewController::kBrowser);
    EXPECT_FALSE(undo.canUndo());
    EXPECT_FALSE(editor.undoButton()->isEnabled());
    EXPECT_FALSE(editor.redoButton()->isEnabled());
    EXPECT_FALSE(editor.compareButton()->isEnabled());
    EXPECT_EQ(PostProcessesManager::sharedPostProcessesManager().delegate(), &editor);
}

TEST_F(Editor, FirstImageIsNotUndoableAndIsAnnouncedOnce) {
    graphics::ImagePtr first = picture(Qt::red);
    editor._setImage(first, true);
    endPass();
    EXPECT_EQ(editor.image(), first);
    EXPECT_EQ(announcements, 1);
    EXPECT_EQ(announced, first);
    EXPECT_EQ(PostProcessesManager::sharedPostProcessesManager().originalImage(), first);
    EXPECT_FALSE(undo.canUndo());

    editor.setImage(first); // the same object again does nothing
    EXPECT_EQ(announcements, 1);
}

TEST_F(Editor, UndoAndRedoRestoreTheSameImageObjects) {
    graphics::ImagePtr first = picture(Qt::red), second = picture(Qt::blue);
    editor._setImage(first, false);
    endPass();
    editor._setImage(second, true);
    endPass();
    ASSERT_TRUE(undo.canUndo());
    EXPECT_TRUE(editor.undoButton()->isEnabled());

    editor.buttonUndoClick();
    EXPECT_EQ(editor.image(), first);
    EXPECT_EQ(PostProcessesManager::sharedPostProcessesManager().originalImage(), first);
    endPass();
    EXPECT_TRUE(editor.redoButton()->isEnabled());
    EXPECT_FALSE(editor.undoButton()->isEnabled());

    editor.buttonRedoClick();
    EXPECT_EQ(editor.image(), second);
    endPass();
    EXPECT_TRUE(editor.undoButton()->isEnabled());
    EXPECT_FALSE(editor.redoButton()->isEnabled());
}

TEST_F(Editor, ButtonsKeepTheirStateUntilTheUndoHasFinished) {
    editor._setImage(picture(Qt::red), false);
    endPass();
    editor._setImage(picture(Qt::green), false);
    endPass();
    bool checkedDuringUndo = false;
    undo.registerUndo(&announcements, [&] {
        editor.validateUndoRedoButtonsState();
        EXPECT_TRUE(editor.undoButton()->isEnabled());
        EXPECT_FALSE(editor.redoButton()->isEnabled());
        checkedDuringUndo = true;
        undo.registerUndo(&announcements, [] {}); // something to redo
    });
    endPass();
    editor.buttonUndoClick();
    EXPECT_TRUE(checkedDuringUndo);
    endPass();
    EXPECT_TRUE(editor.redoButton()->isEnabled());
}

TEST_F(Editor, InteractionDisabledIgnoresUndo) {
    graphics::ImagePtr first = picture(Qt::red), second = picture(Qt::blue);
    editor._setImage(first, false);
    endPass();
    editor._setImage(second, false);
    endPass();
    editor.setDisabledInteraction(true);
    editor.buttonUndoClick();
    EXPECT_EQ(editor.image(), second);
}

TEST_F(Editor, ANewImageClearsTheMaskAndResetsEffectParameters) {
    auto& manager = PostProcessesManager::sharedPostProcessesManager();
    editor._setImage(picture(Qt::red), false);
    endPass();
    PostProcess* effect = manager.nonFrameProcesses().front();
    PostProcessParameter* parameter = effect->param_1();
    ASSERT_NE(parameter, nullptr);
    parameter->setValue(parameter->default_value() == parameter->max_value() ? parameter->min_value()
                                                                             : parameter->max_value());
    manager.setMask(coreimage::Image::imageWithColor({1, 1, 1, 1}));

    editor._setImage(picture(Qt::blue), false);
    EXPECT_EQ(manager.mask(), nullptr);
    EXPECT_EQ(parameter->value(), parameter->default_value());
}

TEST_F(Editor, HidingAndShowingTheFrameIsOneUndoStepEach) {
    TestFrame testFrame;
    PostProcess* frame = &testFrame;
    graphics::ImagePtr plain = picture(Qt::darkCyan, 64, 48);
    editor._setImage(plain, false);
    endPass();
    // A frame shown: the framed picture with the plain one kept aside.
    graphics::ImagePtr framed = picture(Qt::yellow, 64, 48);
    editor.setSavedImageWithoutFrame(plain);
    editor.setCurrentFrameEffect(frame);
    editor.setFrameParametr(0.4);
    editor._setImage(framed, false);
    endPass();

    editor.frameButtonClick();
    endPass();
    EXPECT_EQ(editor.currentFrameEffect(), nullptr);
    EXPECT_EQ(editor.savedFrameEffect(), frame);
    EXPECT_DOUBLE_EQ(editor.savedFrameParametr(), 0.4);
    EXPECT_EQ(editor.image(), plain);
    EXPECT_EQ(editor.savedImageWithoutFrame(), plain);
    EXPECT_EQ(undo.undoActionName(), "Hide frame");

    undo.undo();
    endPass();
    EXPECT_EQ(editor.currentFrameEffect(), frame);
    EXPECT_DOUBLE_EQ(editor.frameParametr(), 0.4);
    EXPECT_EQ(editor.savedFrameEffect(), nullptr);
    EXPECT_EQ(editor.image(), framed);
    EXPECT_EQ(editor.savedImageWithoutFrame(), plain);
    EXPECT_EQ(PostProcessesManager::sharedPostProcessesManager().originalImage(), plain);

    undo.redo();
    endPass();
    EXPECT_EQ(editor.currentFrameEffect(), nullptr);
    EXPECT_EQ(editor.image(), plain);

    // Showing the hidden frame draws it again over the plain picture.
    editor.frameButtonClick();
    endPass();
    EXPECT_EQ(editor.currentFrameEffect(), frame);
    EXPECT_EQ(editor.savedFrameEffect(), nullptr);
    EXPECT_EQ(editor.savedImageWithoutFrame(), plain);
    ASSERT_NE(editor.image(), nullptr);
    EXPECT_NE(editor.image(), plain);
    EXPECT_EQ(undo.undoActionName(), "Show frame");
    undo.undo();
    EXPECT_EQ(editor.image(), plain);
    EXPECT_EQ(editor.savedFrameEffect(), frame);
}

TEST_F(Editor, ToolSwitchesAreUndoableAndInvalidToolsRefused) {
    editor.setTool(RivorezIduvivViewController::kAdjust);
    endPass();
    editor.setTool(RivorezIduvivViewController::kCrop);
    endPass();
    for (int32_t bad : {3, -1, 7, 100}) {
        editor.setTool(bad);
        EXPECT_EQ(editor.tool(), RivorezIduvivViewController::kCrop) << bad;
    }
    undo.undo();
    endPass();
    EXPECT_EQ(editor.tool(), RivorezIduvivViewController::kAdjust);
    undo.undo();
    endPass();
    EXPECT_EQ(editor.tool(), RivorezIduvivViewController::kBrowser);
}

TEST_F(Editor, SidebarSizeIsRememberedPerTab) {
    editor.newTabSelected(1);
    foundation::NotificationCenter::defaultCenter().postNotificationName(effectsSidebarStateWasChanged,
                                                                         foundation::Value(true));
    editor.newTabSelected(0);
    EXPECT_FALSE(editor.savedToolbarEffectIsSmallSize());
    editor.newTabSelected(1);
    EXPECT_TRUE(editor.savedToolbarEffectIsSmallSize());
    EXPECT_TRUE(editor.effectsSideBarStates().at(1));
    EXPECT_FALSE(editor.effectsSideBarStates().at(2));
}

TEST_F(Editor, HistogramReadsThePreviewWhileOneIsShown) {
    graphics::ImagePtr first = picture(Qt::red), preview = picture(Qt::green);
    editor._setImage(first, false);
    EXPECT_EQ(editor.imageForHistogram(), first);
    editor.imageView()->setPreviewImage(preview, false);
    EXPECT_EQ(editor.imageForHistogram(), preview);
    editor.imageView()->setPreviewImage(nullptr, false);
    EXPECT_EQ(editor.imageForHistogram(), first);
}

struct DefaultsRepair : ::testing::Test {
    QApplication& app = uiApplication();
    foundation::UndoManager undo;
    foundation::UserDefaults& defaults = foundation::UserDefaults::standardUserDefaults();
};

TEST_F(DefaultsRepair, DoubleClickActionKeepsKnownValuesInAnyCase) {
    struct Case {
        std::optional<foundation::Value> stored;
        std::string expected;
    };
    const Case cases[] = {
        {std::nullopt, "Hide Bottom Menu"},
        {foundation::Value("IMAGE FIT TO SCREEN"), "IMAGE FIT TO SCREEN"},
        {foundation::Value("Hide bottom menu"), "Hide bottom menu"},
        {foundation::Value("zoom"), "Hide Bottom Menu"},
        {foundation::Value(int64_t(3)), "Hide Bottom Menu"},
    };
    for (const Case& c : cases) {
        if (c.stored)
            defaults.setObject(*c.stored, "k_Double_Click_Action");
        else
            defaults.removeObjectForKey("k_Double_Click_Action");
        RivorezIduvivViewController editor(&undo);
        EXPECT_EQ(defaults.stringForKey("k_Double_Click_Action").value_or("?"), c.expected);
    }
}

TEST_F(DefaultsRepair, PreviewQualityFollowsTheStoredName) {
    struct Case {
        std::optional<std::string> stored;
        int32_t before, expected;
    };
    const Case cases[] = {
        {"Low", 2, 0}, {"Normal", 0, 1}, {"High", 0, 2}, {"Ultra", 1, 1}, {std::nullopt, 0, 2}};
    ScopedValue<int32_t> quality(PostProcess::g_preview_quality, 0);
    for (const Case& c : cases) {
        if (c.stored)
            defaults.setObject(foundation::Value(*c.stored), "k_Preview_Quality");
        else
            defaults.removeObjectForKey("k_Preview_Quality");
        quality.set(c.before);
        RivorezIduvivViewController editor(&undo);
        EXPECT_EQ(PostProcess::g_preview_quality, c.expected) << c.stored.value_or("absent");
        if (!c.stored) EXPECT_EQ(defaults.stringForKey("k_Preview_Quality").value_or(""), "High");
    }
    defaults.setObject(foundation::Value("High"), "k_Preview_Quality");
}

TEST_F(DefaultsRepair, CropProportionsChoiceIsForgottenAtEachStart) {
    defaults.setInteger(3, "k_Crop_Proportions_Popover_Selected_Cell_Key");
    RivorezIduvivViewController editor(&undo);
    EXPECT_FALSE(defaults.objectForKey("k_Crop_Proportions_Popover_Selected_Cell_Key"));
}

} // namespace
