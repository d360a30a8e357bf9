#include "controls/VQTextView.h"
#include "controls/VQButton.h"
#include "controls/VQTextViewTextDelegate.h"
#include "platform/foundation/NotificationCenter.h"
#include "support/UiApplication.h"

#include <QElapsedTimer>
#include <QFocusEvent>
#include <QKeyEvent>
#include <gtest/gtest.h>

#include <string>

namespace {

struct Delegate : VQTextViewTextDelegate {
    std::optional<VQTextViewSliderParams> params;
    int changes = 0;
    void textDidChangeInTextView(VQTextView*) override { ++changes; }
    std::optional<VQTextViewSliderParams> getParamsDictionaryForSlider() override { return params; }
};

// Counts "VQTextViewStartIntValueUserDidChange" from one view.
struct Commits {
    explicit Commits(VQTextView& view) {
        foundation::NotificationCenter::defaultCenter().addObserver(
            this, VQTextView::kStartIntValueDidChange, &view,
            [this](const foundation::Notification&) { ++count; });
    }
    ~Commits() { foundation::NotificationCenter::defaultCenter().removeObserver(this); }
    int count = 0;
};

void type(QWidget& w, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(&w, &press);
    }
}
void key(QWidget& w, int k) {
    QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
    QApplication::sendEvent(&w, &press);
}
void focus(QWidget& w, bool in) {
    QFocusEvent event(in ? QEvent::FocusIn : QEvent::FocusOut, Qt::MouseFocusReason);
    QApplication::sendEvent(&w, &event);
}
void wait(int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
}

} // namespace

TEST(VQTextViewRules, WholeProposedTextByStyle) {
    struct Case {
        int32_t style;
        std::string current;
        int start, length;
        const char* replacement;
        bool accept;
    };
    const Case cases[] = {
        {0, "Warm", 4, 0, " tones", true},
        {0, "1234567890123456789012345678901", 31, 0, "x", false}, // 32 characters
        {0, "", 0, 0, "-", false},
        {1, "1234", 4, 0, "5", true},
        {1, "12345", 5, 0, "6", false},
        {1, "12", 2, 0, "a", false},
        {1, "12", 0, 2, "", true},
        {2, "sket", 4, 0, "ch", true},
        {3, std::string(75, 'a'), 75, 0, "a", false},
        {3, std::string(74, 'a'), 74, 0, "a", true},
        {7, "", 0, 0, "anything at all, any length really", true},
    };
    for (const Case& c : cases) {
        VQTextViewRules rules;
        rules.style = c.style;
        EXPECT_EQ(
            rules.shouldChange(QString::fromStdString(c.current), c.start, c.length, QString(c.replacement))
                .accept,
            c.accept)
            << "style " << c.style << " '" << c.current << "' + '" << c.replacement << "'";
    }
    VQTextViewRules rules;
    EXPECT_FALSE(rules.shouldChange("a", 0, 0, std::nullopt).accept);
    EXPECT_TRUE(rules.shouldChange("a", 1, 0, QString("\n")).endEditing);
}

TEST(VQTextViewRules, SliderBoxReplacesAPassedBoundAtOnce) {
    VQTextViewRules rules;
    rules.style = VQTextViewRules::kSliderValue;
    rules.params = VQTextViewSliderParams{-50, 50, true};
    EXPECT_TRUE(rules.shouldChange("", 0, 0, QString("-")).accept);
    EXPECT_TRUE(rules.shouldChange("-", 1, 0, QString("7")).accept);
    EXPECT_FALSE(rules.shouldChange("7", 1, 0, QString("-")).accept); // not at the start
    const auto above = rules.shouldChange("8", 1, 0, QString("0"));
    EXPECT_FALSE(above.accept);
    EXPECT_EQ(above.forcedText, "50");
    const auto below = rules.shouldChange("-6", 2, 0, QString("0"));
    EXPECT_EQ(below.forcedText, "-50");
    EXPECT_FALSE(rules.shouldChange("50", 2, 0, QString("0")).forcedText.has_value()); // already at the top
    rules.params = VQTextViewSliderParams{10, 200, false};
    EXPECT_TRUE(rules.shouldChange("", 0, 0, QString("5")).accept); // below a positive minimum while typing
    EXPECT_FALSE(rules.shouldChange("", 0, 0, QString("-")).accept);
    EXPECT_EQ(VQTextViewRules::integerValue(" +12x"), 12);
    EXPECT_EQ(VQTextViewRules::integerValue("-"), 0);
}

TEST(VQTextView, BoundedIntegerFieldByKeystrokes) {
    uiApplication();
    VQTextView view;
    view.setStyle(VQTextViewRules::kBoundedInteger);
    Commits commits(view);
    focus(view, true);
    view.selectAll();
    type(view, "123456a");
    EXPECT_EQ(view.text(), "12345");
    view.selectAll();
    key(view, Qt::Key_Backspace);
    EXPECT_EQ(view.text(), "");
    focus(view, false);
    EXPECT_EQ(view.text(), "1"); // the minimum
    EXPECT_EQ(view.startIntValue(), 1);
    EXPECT_EQ(commits.count, 1);
    focus(view, true);
    view.selectAll();
    type(view, "0");
    focus(view, false);
    EXPECT_EQ(view.text(), "1");
    EXPECT_EQ(commits.count, 1); // still 1: no change to announce
}

TEST(VQTextView, BoundsPullTheValueAlong) {
    uiApplication();
    VQTextView view;
    view.setStyle(VQTextViewRules::kBoundedInteger);
    view.setStartIntValue(500);
    view.setMinIntValue(600);
    EXPECT_EQ(view.startIntValue(), 600);
    EXPECT_EQ(view.text(), "600");
    view.setMaxIntValue(100); // not above the minimum: ignored
    EXPECT_EQ(view.maxIntValue(), 50000);
    view.setStartIntValue(70000); // outside: ignored
    EXPECT_EQ(view.stringValue(), "600");
    view.setStringValue("+700");
    EXPECT_EQ(view.text(), "700");
}

TEST(VQTextView, SliderBoxCommitsAPassedBoundAfterATenthOfASecond) {
    uiApplication();
    VQTextView view;
    Delegate delegate;
    delegate.params = VQTextViewSliderParams{-50, 50, true};
    view.setTextDelegate(&delegate);
    view.setStyle(VQTextViewRules::kSliderValue);
    Commits commits(view);
    focus(view, true);
    view.clear();
    type(view, "-7");
    EXPECT_EQ(view.text(), "-7");
    view.clear();
    type(view, "8-0");
    EXPECT_EQ(view.text(), "50");
    EXPECT_EQ(commits.count, 0);
    wait(250);
    EXPECT_EQ(commits.count, 1);
    EXPECT_GT(delegate.changes, 0);
}

TEST(VQTextView, SliderBoxLeftBelowAPositiveMinimumTakesTheMinimum) {
    uiApplication();
    VQTextView view;
    Delegate delegate;
    delegate.params = VQTextViewSliderParams{10, 200, false};
    view.setTextDelegate(&delegate);
    view.setStyle(VQTextViewRules::kSliderValue);
    focus(view, true);
    view.clear();
    type(view, "5");
    EXPECT_EQ(view.text(), "5");
    focus(view, false);
    EXPECT_EQ(view.text(), "10");
}

TEST(VQTextView, NameFieldRefusesADashAndReturnEndsEditing) {
    uiApplication();
    QWidget window;
    auto* view = new VQTextView(&window);
    view->setStyle(VQTextViewRules::kPresetName);
    window.show();
    view->setFocus();
    type(*view, "My-look");
    EXPECT_EQ(view->text(), "Mylook");
    key(*view, Qt::Key_Return);
    EXPECT_FALSE(view->hasFocus());
    EXPECT_EQ(view->text(), "Mylook");
}

TEST(VQTextView, SearchFieldShowsItsResetButtonOnlyWithText) {
    uiApplication();
    VQTextView view;
    view.resize(200, 23);
    view.setStyle(VQTextViewRules::kSearch);
    Delegate delegate;
    view.setTextDelegate(&delegate);
    view.show();
    ASSERT_TRUE(view.closeButton());
    EXPECT_FALSE(view.closeButton()->isVisible());
    type(view, "ske");
    EXPECT_TRUE(view.closeButton()->isVisible());
    EXPECT_EQ(view.closeButton()->geometry(), QRect(175, 3, 18, 18));
    const int before = delegate.changes;
    view.clearSearchField();
    EXPECT_EQ(view.text(), "");
    EXPECT_FALSE(view.closeButton()->isVisible());
    EXPECT_GT(delegate.changes, before);
}

TEST(VQTextView, MaskedTextKeepsTheOriginalAndShowsDots) {
    uiApplication();
    VQTextView view;
    view.setStyle(VQTextViewRules::kLongText);
    view.setSequired(true);
    view.setOriginalPassword("secret");
    EXPECT_EQ(view.text(), QString(6, QChar(0x25CF)));
    EXPECT_EQ(view.cryptedPassword(), "c2VjcmV0");
    view.setCryptedPassword("b3BhbA==");
    EXPECT_EQ(view.originalPassword(), "opal");
}
