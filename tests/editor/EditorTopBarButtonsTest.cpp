// The top bar's tool buttons, clicked with the mouse, take the window into their tools.
#include "editor/RivorezIduvivViewController.h"

#include "controls/ImageAdditional.h"
#include "controls/KXButton.h"
#include "platform/appkit/MainQueuePump.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UndoManager.h"
#include "support/ShownAlert.h"
#include "support/UiApplication.h"

#include <QFileDialog>
#include <QImage>
#include <QMainWindow>
#include <QMouseEvent>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using Editor = RivorezIduvivViewController;

void click(QWidget* widget) {
    const QPointF at = widget->rect().center(), global = widget->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
    foundation::RunLoop::runOnce();
}

struct TopBarButtons : ::testing::Test {
    QApplication& app = uiApplication();
    appkit::MainQueuePump mainQueue;
    foundation::UndoManager undo;
    Editor editor{&undo};

    TopBarButtons() {
        QImage picture(96, 64, QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::darkCyan);
        editor.window()->resize(1200, 800);
        editor.window()->show();
        editor.openNewImage(ImageAdditional::fromQImage(picture), "Photo");
        foundation::RunLoop::runOnce();
    }
};

TEST_F(TopBarButtons, EachToolButtonEntersItsToolAndEffectsReturnsToTheBrowser) {
    struct Case {
        KXButton* button;
        int32_t tool;
    };
    const Case cases[] = {{editor.cropToolButton(), Editor::kCrop},
                          {editor.rotateToolButton(), Editor::kRotate},
                          {editor.adjustButton(), Editor::kAdjust}};
    for (const Case& c : cases) {
        ASSERT_TRUE(c.button->isVisible() && c.button->isEnabled()) << c.button->objectName().toStdString();
        click(c.button);
        EXPECT_EQ(editor.tool(), c.tool) << c.button->objectName().toStdString();
        // Leaving crop asks whether to apply its frame: "No" keeps the photo as it is.
        if (c.tool == Editor::kCrop) QTimer::singleShot(50, [] { answer(shownTopLevelAlert(), 0); });
        click(editor.fxToolButton());
        EXPECT_EQ(editor.tool(), Editor::kBrowser) << c.button->objectName().toStdString();
    }
}

TEST_F(TopBarButtons, OpenAndSaveShowTheirPanelsAndFullScreenToggles) {
    struct Case {
        KXButton* button;
        const char* panel;
    };
    for (const Case& c :
         {Case{editor.openImageButton(), "openPanel"}, Case{editor.saveButton(), "savePanel"}}) {
        ASSERT_TRUE(c.button->isVisible() && c.button->isEnabled()) << c.panel;
        click(c.button);
        auto* panel = editor.window()->findChild<QFileDialog*>(c.panel);
        ASSERT_NE(panel, nullptr) << c.panel;
        EXPECT_TRUE(panel->isVisible()) << c.panel;
        panel->reject();
        foundation::RunLoop::runOnce();
    }
    click(editor.fullScreenButton());
    EXPECT_TRUE(editor.isFullScreen());
    EXPECT_EQ(editor.fullScreenButton()->state(), 1);
    click(editor.fullScreenButton());
    EXPECT_FALSE(editor.isFullScreen());
    EXPECT_EQ(editor.fullScreenButton()->state(), 0);
}

} // namespace
