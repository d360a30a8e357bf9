#include "platform/appkit/Alert.h"

#include "support/EventLoop.h"
#include "support/UiApplication.h"
#include "support/WidgetPixels.h"

#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <vector>

using appkit::Alert;

namespace {

QAbstractButton* buttonTitled(QMessageBox& box, const QString& title) {
    for (QAbstractButton* b : box.buttons())
        if (b->text() == title) return b;
    ADD_FAILURE() << "no button " << title.toStdString();
    return nullptr;
}

// The alert currently shown as a window of its own (run modally) or over a window (as a sheet).
QMessageBox* shownAlert(QWidget* window = nullptr) {
    const QList<QMessageBox*> boxes = window ? window->findChildren<QMessageBox*>() : QList<QMessageBox*>();
    for (QMessageBox* box : boxes)
        if (box->isVisible()) return box;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) return box;
    return nullptr;
}

void press(QWidget& target, int key) {
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&target, &down);
}

class AlertTest : public ::testing::Test {
  protected:
    QApplication& app = uiApplication();
    QWidget window;
    std::vector<int> codes;

    void SetUp() override {
        window.resize(400, 300);
        window.show();
    }
    std::function<void(int)> recordCode() {
        return [this](int code) { codes.push_back(code); };
    }
};

const Alert kSave =
    Alert::alertWithMessageText("Save changes?", "Save", "Don't Save", "Revert", "They are lost otherwise.");

} // namespace

TEST_F(AlertTest, ButtonsCarryTheirReturnCodesAndTheDefaultIsTheFirst) {
    std::unique_ptr<QMessageBox> box(kSave.makeMessageBox(&window));
    EXPECT_EQ(box->text(), "Save changes?");
    EXPECT_EQ(box->informativeText(), "They are lost otherwise.");
    ASSERT_EQ(box->buttons().size(), 3);
    EXPECT_EQ(box->defaultButton(), buttonTitled(*box, "Save"));
    const std::pair<const char*, int> expected[] = {{"Save", 1}, {"Don't Save", 0}, {"Revert", -1}};
    for (const auto& [title, code] : expected)
        EXPECT_EQ(buttonTitled(*box, title)->property("alertReturnCode").toInt(), code) << title;
}

TEST_F(AlertTest, MissingButtonsAreLeftOutAndAnEmptyDefaultReadsOk) {
    const Alert alert = Alert::alertWithMessageText("Image cannot be saved", "", "", "", "");
    std::unique_ptr<QMessageBox> box(alert.makeMessageBox(&window));
    ASSERT_EQ(box->buttons().size(), 1);
    EXPECT_EQ(box->buttons().front()->text(), "OK");
}

TEST_F(AlertTest, EscapeAnswersAsCancelThenAlternateThenOtherThenDefault) {
    struct Case {
        const char *defaultButton, *alternate, *other;
        int escapeCode;
    };
    const Case cases[] = {
        {"OK", "", "", 1},          {"Yes", "No", "", 0},
        {"Delete", "", "Keep", -1}, {"Save", "Don't Save", "Cancel", -1},
        {"Cancel", "Retry", "", 1}, {"Save", "Cancel", "Don't Save", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.defaultButton);
        const Alert alert =
            Alert::alertWithMessageText("Question", c.defaultButton, c.alternate, c.other, "");
        codes.clear();
        alert.beginSheetModalForWindow(&window, recordCode());
        QMessageBox* box = shownAlert(&window);
        ASSERT_NE(box, nullptr);
        press(*box, Qt::Key_Escape);
        EXPECT_EQ(codes, std::vector<int>{c.escapeCode});
        runEventLoopFor(0.01);
    }
}

TEST_F(AlertTest, SheetIsWindowModalAndItsCompletionGetsTheClickedButtonsCodeOnce) {
    const std::pair<const char*, int> buttons[] = {{"Save", 1}, {"Don't Save", 0}, {"Revert", -1}};
    for (const auto& [title, code] : buttons) {
        codes.clear();
        bool hiddenWhenTold = false;
        QPointer<QMessageBox> box;
        kSave.beginSheetModalForWindow(&window, [&](int answer) {
            hiddenWhenTold = box && !box->isVisible();
            codes.push_back(answer);
        });
        box = shownAlert(&window);
        ASSERT_TRUE(box);
        EXPECT_EQ(box->parentWidget(), &window);
        EXPECT_EQ(box->windowModality(), Qt::WindowModal);
        EXPECT_TRUE(codes.empty()); // nothing until the user answers
        // The click arrives through the event loop, as a user's would.
        QTimer::singleShot(0, box, [box, title = QString(title)] { buttonTitled(*box, title)->click(); });
        ASSERT_TRUE(runEventLoopUntil([&] { return !codes.empty(); }, 2));
        EXPECT_EQ(codes, std::vector<int>{code});
        EXPECT_TRUE(hiddenWhenTold);
        // A late close of the finished alert tells nothing more, and the alert goes away.
        if (box) box->close();
        EXPECT_TRUE(runEventLoopUntil([&] { return box.isNull(); }, 2));
        EXPECT_EQ(codes.size(), 1u);
    }
}

TEST_F(AlertTest, ReturnKeyAnswersWithTheDefaultButton) {
    kSave.beginSheetModalForWindow(&window, recordCode());
    QMessageBox* box = shownAlert(&window);
    ASSERT_NE(box, nullptr);
    press(*box, Qt::Key_Return);
    EXPECT_EQ(codes, std::vector<int>{1});
}

TEST_F(AlertTest, ModalRunReturnsTheCodeOfTheButtonPressed) {
    const std::pair<const char*, int> buttons[] = {{"Yes", 1}, {"No", 0}};
    for (const auto& [title, code] : buttons) {
        const Alert alert = Alert::alertWithMessageText("Apply Transform Changes?", "Yes", "No", "", "");
        QTimer::singleShot(0, [title = QString(title)] {
            QMessageBox* box = shownAlert();
            ASSERT_NE(box, nullptr);
            EXPECT_TRUE(box->isModal());
            buttonTitled(*box, title)->click();
        });
        EXPECT_EQ(alert.runModal(), code) << title;
    }
}

TEST_F(AlertTest, ModalRunClosedWithoutAButtonAnswersTheEscapeCode) {
    const Alert alert = Alert::alertWithMessageText("Apply Transform Changes?", "Yes", "No", "", "");
    QTimer::singleShot(0, [] {
        QMessageBox* box = shownAlert();
        ASSERT_NE(box, nullptr);
        box->reject();
    });
    EXPECT_EQ(alert.runModal(), 0);
}

TEST_F(AlertTest, AlertShowsItsTextsWithTheDefaultButtonOnTheRight) {
    std::unique_ptr<QMessageBox> box(kSave.makeMessageBox(nullptr));
    box->show();
    runEventLoopFor(0.02);
    const int defaultX = buttonTitled(*box, "Save")->x();
    const int alternateX = buttonTitled(*box, "Don't Save")->x();
    const int otherX = buttonTitled(*box, "Revert")->x();
    EXPECT_GT(defaultX, alternateX);
    EXPECT_GT(alternateX, otherX);

    const WidgetPixels pixels = grabPixels(*box);
    ASSERT_GT(pixels.width(), 100);
    std::set<QRgb> colours;
    for (int y = 0; y < pixels.height(); y += 2)
        for (int x = 0; x < pixels.width(); x += 2)
            colours.insert(pixels.at(x, y).rgb());
    EXPECT_GT(colours.size(), 10u); // text is antialiased: many shades, not a blank panel
}
