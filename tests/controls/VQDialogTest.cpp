#include "controls/VQDialog.h"
#include "controls/KXAbstractDimmWindow.h"
#include "controls/SharedBundle.h"
#include "controls/ViewAlpha.h"
#include "support/TestSkins.h"
#include "support/UiApplication.h"

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

struct EditorSpy : VQDialog::Editor {
    std::vector<bool> calls;
    void setDisabledInteractions(bool disabled) override { calls.push_back(disabled); }
};

struct Answers : VQDialogDelegate {
    int destructive = 0, ok = 0;
    void destructiveButtonClickInDialog(VQDialog*) override { ++destructive; }
    void okButtonClickInDialog(VQDialog*) override { ++ok; }
};

class Dialogs : public ::testing::Test {
  protected:
    QApplication& app = uiApplication();
    TestSkins dir;
    EditorSpy editor;
    QWidget host;

    void SetUp() override {
        g_CountOfDialogs = 0;
        VQDialog::setCurrentEditor(&editor);
        host.resize(1000, 700);
    }
    void TearDown() override { VQDialog::setCurrentEditor(nullptr); }
    void put(const std::string& name, QSize size, QColor colour) {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(colour);
        ASSERT_TRUE(image.save(QString::fromStdString(dir.file(name + ".png"))));
    }
    static void key(QWidget* target, int code) {
        QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier);
        QApplication::sendEvent(target, &press);
    }
    static void waitUntil(const std::function<bool()>& done) {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < 2000)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
};

} // namespace

TEST_F(Dialogs, EditorIsDisabledFromTheFirstShowToTheLastHide) {
    VQDialog a(VQDialog::kConfirmStyle), b(VQDialog::kContentStyle), never(VQDialog::kEditStyle);
    a.showInView(&host, "First");
    b.showInView(&host);
    EXPECT_EQ(editor.calls, (std::vector<bool>{true}));
    EXPECT_EQ(g_CountOfDialogs, 2u);
    a.hideDialogWithoutAnimation();
    EXPECT_EQ(editor.calls, (std::vector<bool>{true}));
    never.hideDialogWithoutAnimation(); // never shown: counts nothing
    a.hideDialogWithoutAnimation();     // hidden twice: counts once
    EXPECT_EQ(g_CountOfDialogs, 1u);
    b.hideDialogWithoutAnimation();
    b.hideDialogWithoutAnimation();
    EXPECT_EQ(editor.calls, (std::vector<bool>{true, false}));
    EXPECT_EQ(g_CountOfDialogs, 0u);
    {
        VQDialog dropped(VQDialog::kCloseStyle);
        dropped.showInView(&host);
        dropped.hideDialog(); // its removal is still pending when it goes
    }
    EXPECT_EQ(g_CountOfDialogs, 0u);
    EXPECT_EQ(editor.calls, (std::vector<bool>{true, false, true, false}));
}

TEST_F(Dialogs, CentrePanelSitsHigherInTallHosts) {
    struct Case {
        QSize host;
        QRect centre;
    } cases[] = {
        {{1000, 700}, {250, 187, 500, 245}}, // 228 + 40 up from the bottom
        {{1000, 300}, {250, 27, 500, 245}},  // 27.5 rounds to 28 up from the bottom
        {{801, 351}, {151, 13, 500, 245}},   // 150.5 rounds to 151; 0.7 x 351 exceeds 245: 53 + 40 up
    };
    for (const Case& c : cases) {
        host.resize(c.host);
        VQDialog dialog(VQDialog::kEditStyle);
        dialog.showInView(&host, "Name");
        EXPECT_EQ(dialog.dialogCenterView()->geometry(), c.centre) << c.host.height();
        EXPECT_EQ(dialog.view()->geometry(), QRect(QPoint(0, 0), c.host));
        dialog.hideDialogWithoutAnimation();
    }
}

TEST_F(Dialogs, QuestionStylesLayOutTheirParts) {
    VQDialog confirm(VQDialog::kConfirmStyle);
    confirm.showInView(&host, "Delete this preset?");
    EXPECT_EQ(confirm.dialogCenterView()->size(), QSize(350, 200));
    EXPECT_EQ(confirm.destructiveButton()->geometry(), QRect(65, 114, 100, 31));
    EXPECT_EQ(confirm.okButton()->geometry(), QRect(180, 114, 100, 31));
    EXPECT_EQ(confirm.messageTextField()->geometry(), QRect(65, 65, 220, 49)); // 86 up, 49 high
    EXPECT_EQ(confirm.destructiveButton()->title(), "Cancel");
    EXPECT_EQ(confirm.okButton()->title(), "Ok");
    EXPECT_EQ(confirm.messageTextField()->text(), "Delete this preset?");
    EXPECT_EQ(confirm.messageTextField()->font().pixelSize(), 14);
    EXPECT_FALSE(confirm.destructiveButton()->isHidden());

    VQDialog edit(VQDialog::kEditStyle);
    edit.setDialogDoneButtonTitle("Rename");
    edit.showInView(&host, "Preset name");
    EXPECT_EQ(edit.dialogCenterView()->size(), QSize(500, 245));
    EXPECT_EQ(edit.destructiveButton()->geometry(), QRect(255, 159, 100, 31)); // from the first width, 420
    EXPECT_EQ(edit.okButton()->geometry(), QRect(365, 159, 100, 31));
    EXPECT_EQ(edit.closeButton()->geometry(), QRect(43, 42, 27, 27));
    EXPECT_EQ(edit.messageTextField()->geometry(), QRect(65, 46, 370, 20));
    EXPECT_EQ(edit.messageTextField()->font().pixelSize(), 16);
    EXPECT_EQ(edit.okButton()->title(), "Rename");

    VQDialog plain(VQDialog::kCloseStyle);
    plain.showInView(&host);
    EXPECT_EQ(plain.dialogCenterView()->size(), QSize(420, 245)); // the panel's own size
    EXPECT_EQ(plain.closeButton()->geometry(), QRect(43, 42, 27, 27));
    EXPECT_FALSE(plain.closeButton()->isHidden());

    VQDialog sized(VQDialog::kConfirmStyle);
    sized.setDialogSize(QSizeF(400, 300));
    sized.showInView(&host, "Sized");
    EXPECT_EQ(sized.messageTextField()->geometry(), QRect(65, 300 - 86 - 149, 270, 149));
    EXPECT_EQ(sized.okButton()->geometry(), QRect(180, 214, 100, 31)); // still 55 up from the bottom
}

TEST_F(Dialogs, KeysAndButtonsAnswerExactlyOnce) {
    for (int style : {VQDialog::kEditStyle, VQDialog::kConfirmStyle}) {
        Answers answers;
        VQDialog dialog(style);
        dialog.setDelegate(&answers);
        dialog.showInView(&host, "Question");
        key(dialog.view(), Qt::Key_Escape);
        EXPECT_EQ(answers.destructive, 1) << style;
        EXPECT_EQ(answers.ok, 0) << style;
        key(dialog.view(), Qt::Key_Return);
        key(dialog.view(), Qt::Key_Enter);
        EXPECT_EQ(answers.ok, 2) << style;
        dialog.okButton()->click();
        EXPECT_EQ(answers.ok, 3) << style;
        dialog.setDisableControls(true);
        key(dialog.view(), Qt::Key_Return);
        key(dialog.view(), Qt::Key_Escape);
        EXPECT_EQ(answers.ok, 3) << style;
        EXPECT_EQ(answers.destructive, 1) << style;
        EXPECT_TRUE(dialog.isShown()); // answering never hides
    }
    Answers answers;
    VQDialog closing(VQDialog::kCloseStyle);
    closing.setDelegate(&answers);
    closing.showInView(&host);
    closing.closeButton()->click();
    EXPECT_EQ(answers.destructive, 1);
    EXPECT_EQ(closing.destrurctiveButton(), nullptr); // a close-style dialog has no Cancel button

    VQDialogDelegate silent;
    VQDialog quiet(VQDialog::kConfirmStyle);
    quiet.setDelegate(&silent);
    quiet.showInView(&host, "Stay");
    key(quiet.view(), Qt::Key_Return);
    EXPECT_TRUE(quiet.isShown());
    EXPECT_EQ(quiet.view()->parentWidget(), &host);
}

TEST_F(Dialogs, QuestionsDimTheWindowAndEveryHideUndims) {
    KXAbstractDimmWindow window;
    auto* content = new QWidget;
    window.setCentralWidget(content);
    window.resize(800, 600);
    VQDialog confirm(VQDialog::kConfirmStyle);
    confirm.showInView(content, "Sure?");
    EXPECT_TRUE(window.isDimmed());
    confirm.hideDialogWithoutAnimation();
    EXPECT_FALSE(window.isDimmed());

    VQDialog content1(VQDialog::kContentStyle);
    content1.showInView(content);
    EXPECT_FALSE(window.isDimmed());
    window.setDimmed(true); // dimmed by someone else meanwhile
    content1.hideDialogWithoutAnimation();
    EXPECT_FALSE(window.isDimmed());
}

TEST_F(Dialogs, OverlayCoversTheHostSwallowsClicksAndFollowsItsSize) {
    struct Presses : QObject {
        int count = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            count += e->type() == QEvent::MouseButtonPress;
            return false;
        }
    } presses;
    host.installEventFilter(&presses);
    host.show();
    VQDialog dialog(VQDialog::kCloseStyle);
    dialog.showInView(&host);
    EXPECT_EQ(ViewAlpha::alpha(dialog.view()), 0.0);
    waitUntil([&] { return ViewAlpha::alpha(dialog.view()) == 1.0; });
    EXPECT_EQ(ViewAlpha::alpha(dialog.view()), 1.0); // faded in from the next turn
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), dialog.view()->mapToGlobal(QPointF(5, 5)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(dialog.view(), &press);
    EXPECT_EQ(presses.count, 0);
    host.resize(600, 400);
    EXPECT_EQ(dialog.view()->geometry(), QRect(0, 0, 600, 400));
    EXPECT_EQ(dialog.view()->backgroundColor(), QColor(0, 0, 0, 128));
}

TEST_F(Dialogs, FadingHideRemovesTheOverlayAfterItsFade) {
    VQDialog dialog(VQDialog::kConfirmStyle);
    dialog.showInView(&host, "Bye");
    dialog.hideDialog();
    EXPECT_EQ(ViewAlpha::alpha(dialog.view()), 0.0);
    EXPECT_EQ(g_CountOfDialogs, 1u); // still up while it fades
    waitUntil([&] { return !dialog.isShown(); });
    EXPECT_EQ(dialog.view()->parentWidget(), nullptr);
    EXPECT_EQ(g_CountOfDialogs, 0u);
    EXPECT_EQ(editor.calls, (std::vector<bool>{true, false}));
}

TEST_F(Dialogs, AHostClosedUnderAnOpenDialogLeavesNothingDangling) {
    Answers answers;
    VQDialog dialog(VQDialog::kEditStyle);
    dialog.setDelegate(&answers);
    {
        QWidget window;
        window.resize(900, 600);
        dialog.showInView(&window, "Name");
        dialog.hideDialog();
    } // the window goes with the overlay inside it
    EXPECT_EQ(dialog.view(), nullptr);
    EXPECT_EQ(dialog.okButton(), nullptr);
    dialog.okButtonClick();
    EXPECT_EQ(answers.ok, 1);
    waitUntil([&] { return !dialog.isShown(); });
    EXPECT_FALSE(dialog.isShown());
    EXPECT_EQ(g_CountOfDialogs, 0u);
}

TEST_F(Dialogs, CallerContentGoesIntoThePanelAtTheDialogSize) {
    VQDialog dialog(VQDialog::kContentStyle);
    dialog.setDialogSize(QSizeF(300, 120));
    auto* content = new QWidget;
    content->setGeometry(10, 10, 50, 20);
    dialog.addSubview(content);
    EXPECT_EQ(dialog.dialogCenterView()->size(), QSize(300, 120));
    EXPECT_EQ(content->parentWidget(), dialog.dialogCenterView());
    EXPECT_EQ(content->geometry(), QRect(10, 10, 50, 20));
    dialog.showInView(&host);
    EXPECT_EQ(dialog.dialogCenterView()->geometry(), QRect(350, 250, 300, 120));
    EXPECT_EQ(dialog.dialogCenterView()->type(), 3);
}

TEST_F(Dialogs, ButtonSkinIsItsThreePartsAndPressedAtSixtyPercent) {
    put("btn_left", {8, 31}, Qt::red);
    put("btn_center", {1, 31}, Qt::green);
    put("btn_right", {8, 31}, Qt::blue);
    put("btn_center_big", {1, 45}, Qt::yellow);
    VQDialogButton button;
    button.resize(100, 31);
    button.grab(); // delivers the resize
    EXPECT_EQ(button.image().size(), QSize(100, 31) * button.devicePixelRatioF());
    EXPECT_EQ(button.image().pixelColor(2, 15), QColor(Qt::red));
    EXPECT_EQ(button.image().pixelColor(50, 15), QColor(Qt::green));
    EXPECT_EQ(button.image().pixelColor(97, 15), QColor(Qt::blue));
    EXPECT_NEAR(button.pressedImage().pixelColor(50, 15).alphaF(), 0.6, 0.01);
    button.setButtonSizeType(1);
    button.grab();
    EXPECT_EQ(button.image().height(), 45);
    EXPECT_EQ(button.image().pixelColor(50, 20), QColor(Qt::yellow));
}
