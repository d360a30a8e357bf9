// The editor window's events: resizing with its pause, full screen, Escape, minimising and
// activation, and the window frame remembered between starts.
#include "editor/RivorezIduvivViewController.h"

#include "controls/ImageAdditional.h"
#include "controls/KXButton.h"
#include "editor/CropToolbarView.h"
#include "imageview/DrawingToolbarController.h"
#include "imageview/KXImageView.h"
#include "platform/appkit/MainQueuePump.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UndoManager.h"
#include "platform/foundation/UserDefaults.h"
#include "support/EventLoop.h"
#include "support/UiApplication.h"

#include <QMainWindow>
#include <QShortcut>
#include <QWindowStateChangeEvent>
#include <gtest/gtest.h>

namespace {

using Editor = RivorezIduvivViewController;

graphics::ImagePtr picture(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(90, 140, 60));
    return ImageAdditional::fromQImage(image);
}

TEST(EditorWindowNumbers, PainterScrollersFollowTheSystemBranch) {
    const auto later = Editor::painterScrollerFrames(1000, 200, 700, true);
    EXPECT_EQ(later[0], graphics::Rect(-4, 0, 820, 18));
    EXPECT_EQ(later[1], graphics::Rect(782, -15, 18, 669));
    EXPECT_EQ(later[2], graphics::Rect(785, 0, 15, 15));
    const auto earlier = Editor::painterScrollerFrames(1000, 200, 700, false);
    EXPECT_EQ(earlier[0], graphics::Rect(0, 0, 786, 18));
    EXPECT_EQ(earlier[1], graphics::Rect(782, 14, 18, 637));
    EXPECT_EQ(earlier[2], graphics::Rect(785, 0, 15, 15));
}

// The remembered frame is removed before and after, so no other test starts from it.
struct ForgetSavedFrame {
    ForgetSavedFrame() { forget(); }
    ~ForgetSavedFrame() { forget(); }
    static void forget() {
        foundation::UserDefaults::standardUserDefaults().removeObjectForKey(Editor::kSavedFrameName);
    }
};

struct EditorWindow : ::testing::Test {
    QApplication& app = uiApplication();
    appkit::MainQueuePump mainQueue;
    ForgetSavedFrame forget;
    foundation::UndoManager undo;
    std::unique_ptr<Editor> editor = std::make_unique<Editor>(&undo);
    int resizeNotices = 0;

    EditorWindow() {
        foundation::NotificationCenter::defaultCenter().addObserver(
            this, "kWindowDidResize", nullptr, [this](const foundation::Notification&) { ++resizeNotices; });
        window()->setGeometry(40, 50, 1100, 760);
        window()->show();
        editor->openNewImage(picture(1200, 800), "Photo");
        settle();
    }
    ~EditorWindow() override { foundation::NotificationCenter::defaultCenter().removeObserver(this); }

    QMainWindow* window() const { return editor->window(); }
    KXImageView& view() const { return *editor->imageView(); }
    // Waits for the end of the resize pause and any full-screen switch.
    void settle() {
        runEventLoopUntil([&] { return false; }, (Editor::kLiveResizeEndMs + 60) / 1000.0);
    }
};

TEST_F(EditorWindow, ResizingRefitsThePhotoOnceThePauseEnds) {
    editor->setTool(Editor::kParameters);
    settle();
    resizeNotices = 0;
    const double before = view().scale();
    window()->resize(800, 620);
    window()->resize(760, 600);
    EXPECT_TRUE(editor->isLiveResize());
    EXPECT_EQ(resizeNotices, 1); // one burst, one notice
    EXPECT_TRUE(runEventLoopUntil([&] { return !editor->isLiveResize(); }, 2.0));
    EXPECT_EQ(resizeNotices, 1);
    EXPECT_LT(view().scale(), before);
    const double refit = view().scale();
    view().zoomToFitAnimated(false);
    EXPECT_DOUBLE_EQ(view().scale(), refit); // already fitted, without animation
    // The frame of a finished resize is remembered.
    EXPECT_TRUE(
        foundation::UserDefaults::standardUserDefaults().stringForKey(Editor::kSavedFrameName).has_value());
}

TEST_F(EditorWindow, FullScreenHidesAndRebuildsTheCropToolbarAndRestoresTheFrame) {
    editor->setTool(Editor::kCrop);
    const QRect frame = window()->geometry();
    QWidget* toolbar = editor->cropToolbar();
    resizeNotices = 0;
    editor->setWindowFullScreen(true);
    EXPECT_EQ(resizeNotices, 1);
    EXPECT_TRUE(toolbar->isHidden()); // hidden before the switch
    ASSERT_TRUE(runEventLoopUntil([&] { return editor->isWindowFullScreen() && toolbar->isVisible(); }, 2.0));
    EXPECT_TRUE(editor->escapeDetector()->isEnabled());
    EXPECT_EQ(editor->cropToolButton()->state(), 1);
    const int width = editor->contentView()->width();
    EXPECT_TRUE(runEventLoopUntil([&] { return toolbar->x() == width - toolbar->width(); }, 2.0));
    EXPECT_EQ(toolbar->y(), 140);

    // Escape leaves full screen, and the window has its old frame again.
    emit editor->escapeDetector()->activated();
    ASSERT_TRUE(
        runEventLoopUntil([&] { return !editor->isWindowFullScreen() && toolbar->isVisible(); }, 2.0));
    settle();
    EXPECT_EQ(window()->geometry(), frame);
    EXPECT_FALSE(editor->escapeDetector()->isEnabled());
    EXPECT_TRUE(runEventLoopUntil(
        [&] { return toolbar->x() == editor->contentView()->width() - toolbar->width(); }, 2.0));
}

TEST_F(EditorWindow, FullScreenInThePainterPinsTheBrushToolbarToTheRightEdge) {
    editor->setTool(Editor::kPainter);
    DrawingToolbarController* brush = editor->drawingToolbar();
    ASSERT_NE(brush, nullptr);
    ASSERT_TRUE(runEventLoopUntil([&] { return brush->isVisible(); }, 2.0));
    bool hiddenBefore = false;
    foundation::NotificationCenter::defaultCenter().addObserver(
        &hiddenBefore, "kWindowDidResize", nullptr,
        [&](const foundation::Notification&) { hiddenBefore = true; });
    editor->setWindowFullScreen(true);
    foundation::NotificationCenter::defaultCenter().removeObserver(&hiddenBefore);
    EXPECT_TRUE(hiddenBefore);
    EXPECT_TRUE(brush->isHidden());
    ASSERT_TRUE(runEventLoopUntil([&] { return brush->isVisible(); }, 2.0));
    const QWidget* content = editor->contentView();
    EXPECT_EQ(brush->x(), content->width() - brush->width());
    EXPECT_EQ(brush->y(), 49);
    EXPECT_EQ(brush->height(), content->height() - 49);
    editor->setWindowFullScreen(false);
    EXPECT_TRUE(runEventLoopUntil([&] { return !editor->isWindowFullScreen() && brush->isVisible(); }, 2.0));
    EXPECT_EQ(brush->height(), editor->contentView()->height() - 49);
}

TEST_F(EditorWindow, EscapeOutsideFullScreenDoesNothing) {
    EXPECT_FALSE(editor->escapeDetector()->isEnabled());
    EXPECT_EQ(editor->escapeDetector()->key(), QKeySequence(Qt::Key_Escape));
    const QRect frame = window()->geometry();
    editor->escapeDetectorClick();
    settle();
    EXPECT_FALSE(editor->isWindowFullScreen());
    EXPECT_EQ(window()->geometry(), frame);
}

TEST_F(EditorWindow, ParkedContinuationsRunOnceOnRestoreAndActivation) {
    int applied = 0, hidden = 0;
    editor->_continueAfterApplyingSelector = [&] { ++applied; };
    editor->_continueAfterHiddenSelector = [&] { ++hidden; };
    QWindowStateChangeEvent restored(Qt::WindowMinimized);
    QApplication::sendEvent(window(), &restored); // from minimised back to normal
    EXPECT_EQ(applied, 1);
    QApplication::sendEvent(window(), &restored);
    EXPECT_EQ(applied, 1);

    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(window(), &activate);
    EXPECT_EQ(hidden, 0); // after the event
    EXPECT_TRUE(runEventLoopUntil([&] { return hidden == 1; }, 2.0));
    QApplication::sendEvent(window(), &activate);
    runEventLoopFor(0.05);
    EXPECT_EQ(hidden, 1);
}

TEST_F(EditorWindow, MinimisingClosesTheProportionsList) {
    editor->setTool(Editor::kCrop);
    editor->proportionsComboBoxDidChange();
    ASSERT_NE(editor->proportionsPopover(), nullptr);
    editor->windowDidMiniaturize();
    EXPECT_EQ(editor->proportionsPopover(), nullptr);
    EXPECT_FALSE(editor->cropProportionsPopupActive());
}

TEST_F(EditorWindow, DialogsDisableTheImageViewOutsideThePainter) {
    editor->setDisabledInteraction(true);
    EXPECT_TRUE(editor->isDisabledInteraction());
    EXPECT_TRUE(view().isDisabled());
    editor->setDisabledInteraction(false);
    EXPECT_FALSE(view().isDisabled());
    editor->setTool(Editor::kPainter);
    editor->setDisabledInteraction(true);
    EXPECT_TRUE(editor->isDisabledInteraction());
    EXPECT_FALSE(view().isDisabled());
}

TEST_F(EditorWindow, TheFrameIsRememberedForTheNextStart) {
    window()->setGeometry(70, 80, 1000, 700);
    EXPECT_TRUE(runEventLoopUntil([&] { return !editor->isLiveResize(); }, 2.0));
    const QRect frame = window()->geometry();
    editor.reset();
    Editor next(&undo);
    EXPECT_EQ(next.window()->geometry(), frame);
}

TEST_F(EditorWindow, ADamagedRememberedFrameIsIgnored) {
    auto& defaults = foundation::UserDefaults::standardUserDefaults();
    for (const char* damaged :
         {"", "1 2 3", "10 10 50 50", "a b c d", "0 0 1000 700 9", "0 0 99999999 700"}) {
        defaults.setObject(foundation::Value(std::string(damaged)), Editor::kSavedFrameName);
        Editor next(&undo);
        EXPECT_EQ(next.window()->size(), QSize(1440, 900)) << damaged;
    }
}

} // namespace
