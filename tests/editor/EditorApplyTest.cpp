#include "editor/ProgressViewController.h"
#include "editor/ProgressViewControllerControllerDelegate.h"
#include "editor/RivorezIduvivViewController.h"

#include "controls/ImageAdditional.h"
#include "controls/KXButton.h"
#include "controls/VQDialog.h"
#include "controls/VQProgressBar.h"
#include "engine/PostProcess.h"
#include "engine/PostProcessesManager.h"
#include "imageview/KXImageView.h"
#include "platform/appkit/MainQueuePump.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UndoManager.h"
#include "support/EventLoop.h"
#include "support/StubEffects.h"
#include "support/UiApplication.h"

#include <QLabel>
#include <QMainWindow>
#include <gtest/gtest.h>

namespace {

struct Recorder : ProgressViewControllerControllerDelegate {
    std::vector<bool> ends; // isCanceled of each report
    void modalViewControllerDidFinish(QObject*, bool isCanceled) override { ends.push_back(isCanceled); }
};

struct Panel : ::testing::Test {
    QApplication& app = uiApplication();
    Recorder recorder;
    ProgressViewController panel;
    Panel() { panel.setDelegate(&recorder); }
};

TEST_F(Panel, ShowsTheTitleAndThePercentage) {
    EXPECT_EQ(panel.titleTextField()->text(), "");
    EXPECT_EQ(panel.progressTextField()->text(), "0%");
    EXPECT_EQ(panel.progressIndicator()->doubleValue(), 0);

    panel.setTitle("Applying Cool Blue filter");
    panel.updateProgress(100);
    EXPECT_EQ(panel.titleTextField()->text(), "Applying Cool Blue filter");
    EXPECT_EQ(panel.progressTextField()->text(), "100%");
    EXPECT_EQ(panel.progressIndicator()->doubleValue(), 100);
    panel.setTitle(QString());
    EXPECT_EQ(panel.titleTextField()->text(), "");
}

TEST_F(Panel, ReportsTheEndOrTheCancelOnce) {
    struct Case {
        const char* name;
        std::function<void(ProgressViewController&)> act;
        std::vector<bool> expected;
    };
    const std::vector<Case> cases = {
        {"cancel pressed twice",
         [](ProgressViewController& p) { p.cancelButtonClick(), p.cancelButtonClick(); },
         {true}},
        {"finish, then cancel",
         [](ProgressViewController& p) { p.processFinish(), p.cancelButtonClick(); },
         {false}},
        {"cancel by the mouse",
         [](ProgressViewController& p) { p.cancelButton()->click(), p.cancelButtonClick(); },
         {true}},
    };
    for (const Case& c : cases) {
        Recorder recorder;
        ProgressViewController fresh;
        fresh.setDelegate(&recorder);
        c.act(fresh);
        EXPECT_EQ(recorder.ends, c.expected) << c.name;
        EXPECT_FALSE(fresh.cancelButton()->isEnabled()) << c.name;
    }
}

graphics::ImagePtr photo(int width = 96, int height = 64) {
    return makeSourceImage(width, height, patternColour);
}

struct EditorApply : ::testing::Test {
    QApplication& app = uiApplication();
    appkit::MainQueuePump mainQueue;
    foundation::UndoManager undo;
    StubPixelEffect failing; // outlives the editor, which may still name it to the engine
    RivorezIduvivViewController editor{&undo};
    std::vector<std::string> notes;

    EditorApply() {
        auto& center = foundation::NotificationCenter::defaultCenter();
        for (const char* name : {"processingAreCanceled", "processingCancelingAreFinished"})
            center.addObserver(this, name, nullptr,
                               [this, name](const foundation::Notification&) { notes.push_back(name); });
        editor.openWithSavingCurrentImageNewImage(photo());
        runEventLoopFor(0.05);
    }
    ~EditorApply() override { foundation::NotificationCenter::defaultCenter().removeObserver(this); }

    PostProcess* look(const char* name) {
        PostProcess* effect = PostProcessesManager::sharedPostProcessesManager().postProcessWithName(name);
        EXPECT_NE(effect, nullptr) << name;
        return effect;
    }
    bool dialogShown() const { return editor.currentDialog() && editor.currentDialog()->isShown(); }
};

TEST_F(EditorApply, ApplyShowsTheProgressPanelAndEndsInOneNamedUndoStep) {
    graphics::ImagePtr opened = editor.image();
    PostProcess* effect = look("Cool Blue");
    ASSERT_NE(effect, nullptr);
    editor.selectPostProcess(effect);
    ASSERT_TRUE(runEventLoopUntil([&] { return editor.imageView()->previewImage() != nullptr; }, 20.0));

    editor.applyButtonDidClick(editor.filterToolbarController());
    ASSERT_NE(editor.progressViewController(), nullptr);
    EXPECT_TRUE(dialogShown());
    EXPECT_EQ(editor.progressViewController()->title(),
              QString("Applying %1 filter").arg(QString::fromStdString(effect->get_name())));

    ASSERT_TRUE(runEventLoopUntil([&] { return editor.image() != opened; }, 20.0));
    EXPECT_EQ(editor.progressViewController(), nullptr);
    EXPECT_EQ(editor.currentDialog(), nullptr);
    EXPECT_EQ(notes, std::vector<std::string>{"processingCancelingAreFinished"});
    EXPECT_EQ(editor.tool(), RivorezIduvivViewController::kBrowser);
    runEventLoopFor(0.1);
    ASSERT_TRUE(undo.canUndo());
    EXPECT_EQ(undo.undoActionName(), effect->get_name());

    editor.buttonUndoClick();
    EXPECT_EQ(editor.image(), opened);
}

TEST_F(EditorApply, CancelRightAfterTheRequestKeepsThePhotoAndALaterApplyWorks) {
    graphics::ImagePtr opened = editor.image();
    PostProcess* effect = look("Cool Blue");
    ASSERT_NE(effect, nullptr);
    editor.selectPostProcess(effect);
    runEventLoopFor(0.05);

    // No event is handled between the request and the cancel: a finish already on its way must
    // still not land.
    editor.applyButtonDidClick(editor.filterToolbarController());
    ASSERT_NE(editor.progressViewController(), nullptr);
    editor.progressViewController()->cancelButtonClick();
    EXPECT_EQ(editor.progressViewController(), nullptr);
    EXPECT_EQ(notes, (std::vector<std::string>{"processingAreCanceled", "processingCancelingAreFinished"}));
    runEventLoopFor(0.5);
    EXPECT_EQ(editor.image(), opened);
    EXPECT_FALSE(editor.isDocumentEdited());

    if (editor.tool() != RivorezIduvivViewController::kParameters) editor.selectPostProcess(effect);
    editor.applyButtonDidClick(editor.filterToolbarController());
    ASSERT_TRUE(runEventLoopUntil([&] { return editor.image() != opened; }, 20.0));
    EXPECT_EQ(editor.currentDialog(), nullptr);
}

TEST_F(EditorApply, AFailedRunTakesThePanelAwayAndChangesNothing) {
    graphics::ImagePtr opened = editor.image();
    failing.failsPreparation = true;
    editor.selectPostProcess(&failing);
    runEventLoopFor(0.05);
    editor.applyButtonDidClick(editor.filterToolbarController());
    ASSERT_TRUE(runEventLoopUntil([&] { return editor.currentDialog() == nullptr; }, 20.0));
    EXPECT_EQ(editor.image(), opened);
    EXPECT_FALSE(editor.isDocumentEdited());
    editor.selectPostProcess(nullptr);
}

TEST_F(EditorApply, ApplyingWithNothingChosenOnlyExplains) {
    graphics::ImagePtr opened = editor.image();
    editor.generateImageForSelectedPostProcessOrPreset();
    EXPECT_EQ(editor.currentDialog(), nullptr);
    EXPECT_EQ(editor.progressViewController(), nullptr);
    EXPECT_EQ(editor.image(), opened);
}

} // namespace
