#include "controls/KXSlider.h"
#include "controls/KXJRVSlider.h"
#include "controls/KXSliderValueField.h"
#include "controls/VQTextView.h"
#include "support/UiApplication.h"

#include <QElapsedTimer>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <gtest/gtest.h>

namespace {

std::unique_ptr<KXSlider> slider(int w, int h, std::optional<double> box) {
    uiApplication();
    auto s = std::make_unique<KXSlider>();
    s->resize(w, h);
    s->setValueTextFieldWidthNumber(box);
    s->validateSlider();
    return s;
}

void mouse(QWidget& w, QEvent::Type type, int x, int y = 10) {
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(x, y), w.mapToGlobal(QPointF(x, y)), Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(&w, &event);
}

void wait(int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
}

struct Actions {
    explicit Actions(KXSlider& s) {
        QObject::connect(&s, &KXSlider::action, [this] { ++count; });
    }
    int count = 0;
};

} // namespace

TEST(KXSlider, LayoutForAWidthAHeightAndAValueBox) {
    auto s = slider(200, 20, 40);
    ASSERT_TRUE(s->valueLabel());
    EXPECT_EQ(s->valueLabel()->geometry(), QRect(140, 0, 40, 20));
    EXPECT_EQ(s->decreaseFrame(), QRect(120, 0, 20, 20));
    EXPECT_EQ(s->increaseFrame(), QRect(180, 0, 20, 20));
    EXPECT_EQ(s->barFrame().width(), 120);
    EXPECT_EQ(s->knobFrame().x(), 50); // value 0.5
    struct Case {
        double x, value;
    };
    for (const Case c : {Case{60, 0.5}, Case{5, 0}, Case{115, 1}, Case{10, 0}, Case{110, 1}})
        EXPECT_DOUBLE_EQ(s->valueForXPosition(c.x), c.value) << c.x;
    auto plain = slider(200, 20, std::nullopt);
    EXPECT_FALSE(plain->valueLabel());
    EXPECT_EQ(plain->barFrame().width(), 160);
}

TEST(KXSlider, PercentMappingBothWays) {
    auto s = slider(200, 20, 40);
    struct Case {
        double value;
        bool negative;
        const char* shown;
    };
    const Case cases[] = {{0.5, true, "0"},     {0, true, "-50"},    {1, true, "+50"},    {0.57, true, "+7"},
                          {0.125, true, "-37"}, {0.57, false, "57"}, {0.125, false, "13"}};
    for (const Case& c : cases) {
        s->setShowNegativeValue(c.negative);
        s->setDoubleValue(c.value);
        EXPECT_EQ(s->valueText(), c.shown) << c.value << (c.negative ? " signed" : "");
    }
    s->setShowNegativeValue(true);
    EXPECT_DOUBLE_EQ(s->getValueFromPerscent(7), 0.57);
    s->setShowNegativeValue(false);
    EXPECT_DOUBLE_EQ(s->getValueFromPerscent(7), 0.07);
    s->setMaxValueRange(7); // odd: half is 3
    s->setShowNegativeValue(true);
    EXPECT_DOUBLE_EQ(s->getValueFromPerscent(0), 3.0 / 7.0);
    s->setShowRealValue(true);
    s->setDoubleValue(0.25);
    s->setValueTextFieldFormat("%.2f");
    EXPECT_EQ(s->valueText(), "0.25");
}

TEST(KXSlider, EmptyRangeKeepsTheKnobAtTheStart) {
    auto s = slider(200, 20, std::nullopt);
    s->setMinValue(3);
    s->setMaxValue(3);
    s->validateKnobPositionAnimated(false);
    EXPECT_EQ(s->knobFrame().x(), 0);
    EXPECT_EQ(s->getValueInPerscentsFromValue(3), 0);
}

TEST(KXSlider, SettingAValueClampsSendsNothingAndIgnoresTheSameValue) {
    auto s = slider(200, 20, 40);
    Actions actions(*s);
    s->setDoubleValue(-1);
    EXPECT_EQ(s->doubleValue(), 0);
    EXPECT_EQ(s->knobFrame().x(), 0);
    s->setDoubleValue(2);
    EXPECT_EQ(s->doubleValue(), 1);
    EXPECT_EQ(s->knobFrame().x(), 100);
    EXPECT_EQ(actions.count, 0);
    EXPECT_EQ(s->valueLabel()->stringValue(), "50"); // "+50" written, its integer shown
}

TEST(KXSlider, ABarClickJumpsAtOnceAndSendsOneActionOnRelease) {
    auto s = slider(200, 20, 40);
    Actions actions(*s);
    mouse(*s, QEvent::MouseButtonPress, 90);
    EXPECT_DOUBLE_EQ(s->doubleValue(), 0.8);
    EXPECT_EQ(actions.count, 0);
    mouse(*s, QEvent::MouseMove, 30); // before 0.3 s the knob is not grabbed
    EXPECT_DOUBLE_EQ(s->doubleValue(), 0.8);
    mouse(*s, QEvent::MouseButtonRelease, 30);
    EXPECT_EQ(actions.count, 1);
}

TEST(KXSlider, AHeldBarPressGrabsTheKnobAfterATenthsWait) {
    auto s = slider(200, 20, 40);
    Actions actions(*s);
    mouse(*s, QEvent::MouseButtonPress, 90);
    wait(400);
    EXPECT_TRUE(s->knobSelected());
    mouse(*s, QEvent::MouseMove, 60);
    EXPECT_DOUBLE_EQ(s->doubleValue(), 0.5);
    EXPECT_EQ(actions.count, 1); // continuous
    s->setContinuous(false);
    mouse(*s, QEvent::MouseMove, 10);
    EXPECT_EQ(actions.count, 1);
    mouse(*s, QEvent::MouseButtonRelease, 10);
    EXPECT_EQ(actions.count, 2);
    EXPECT_FALSE(s->knobSelected());
}

TEST(KXSlider, DoubleClickOnTheKnobRestoresTheDefaultOnlyWhenOneIsSet) {
    auto s = slider(200, 20, 40);
    const int knobCentre = s->knobFrame().center().x();
    const double clicked = s->valueForXPosition(knobCentre); // where the click itself puts it
    for (auto [withDefault, expected] : {std::pair{false, clicked}, std::pair{true, 0.2}}) {
        s->setDoubleValue(0.5);
        if (withDefault) s->setDefaultValue(0.2);
        mouse(*s, QEvent::MouseButtonPress, knobCentre);
        mouse(*s, QEvent::MouseButtonRelease, knobCentre);
        mouse(*s, QEvent::MouseButtonDblClick, knobCentre);
        mouse(*s, QEvent::MouseButtonRelease, knobCentre);
        EXPECT_DOUBLE_EQ(s->doubleValue(), expected);
    }
}

TEST(KXSlider, PressOffTheBarReleaseStillReportsAMovedValue) {
    auto s = slider(200, 20, 40);
    Actions actions(*s);
    mouse(*s, QEvent::MouseButtonPress, 30);
    mouse(*s, QEvent::MouseButtonRelease, 190, 40); // released away from the bar before the grab
    EXPECT_EQ(actions.count, 1);
}

TEST(KXSlider, PlusAndMinusStepByAThirtiethWhileHeld) {
    auto s = slider(200, 20, 40);
    Actions actions(*s);
    mouse(*s, QEvent::MouseButtonPress, 190);
    EXPECT_DOUBLE_EQ(s->doubleValue(), 0.5 + 1.0 / 30);
    wait(250);
    EXPECT_GT(s->doubleValue(), 0.5 + 1.5 / 30); // repeating while held
    mouse(*s, QEvent::MouseButtonRelease, 190);
    const double released = s->doubleValue();
    EXPECT_EQ(actions.count, 1);
    wait(250);
    EXPECT_EQ(s->doubleValue(), released);
    s->setDoubleValue(0);
    s->decrease();
    EXPECT_EQ(s->doubleValue(), 0);
}

TEST(KXSlider, TurningRealValueDisplayOffResetsRangeAndValue) {
    auto s = slider(200, 20, 40);
    s->setShowRealValue(true);
    s->setMinValue(10);
    s->setMaxValue(90);
    s->setDoubleValue(40);
    s->setShowRealValue(false);
    EXPECT_EQ(s->minValue(), 0);
    EXPECT_EQ(s->maxValue(), 1);
    EXPECT_EQ(s->doubleValue(), 0.5);
}

TEST(KXSlider, TypedPercentSetsTheValueAndReturnCommitsIt) {
    auto s = slider(200, 20, 40);
    Actions actions(*s);
    VQTextView* box = s->valueLabel()->valueTextField();
    QFocusEvent in(QEvent::FocusIn, Qt::MouseFocusReason);
    QApplication::sendEvent(box, &in);
    box->clear();
    EXPECT_EQ(actions.count, 1); // the emptied box reads 0: the middle
    QKeyEvent seven(QEvent::KeyPress, Qt::Key_7, Qt::NoModifier, "7");
    QApplication::sendEvent(box, &seven);
    EXPECT_DOUBLE_EQ(s->doubleValue(), 0.57);
    EXPECT_EQ(box->text(), "7"); // not rewritten while typing
    EXPECT_EQ(actions.count, 2);
    QFocusEvent out(QEvent::FocusOut, Qt::MouseFocusReason);
    QApplication::sendEvent(box, &out);
    wait(50);
    EXPECT_GE(actions.count, 3); // the commit sends once more
    box->clear();
    for (const char* digit : {"8", "0"}) {
        QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, digit);
        QApplication::sendEvent(box, &key);
    }
    EXPECT_EQ(box->text(), "50");
}

TEST(KXJRVSlider, FillRunsFromTheLeftEndToTheKnob) {
    uiApplication();
    KXJRVSlider s;
    QLabel caption;
    s.setJrvValueLabel(&caption);
    s.resize(200, 16);
    s.validateSlider();
    EXPECT_FALSE(s.valueLabel());
    EXPECT_EQ(s.barFrame(), QRect(0, 0, 200, 16));
    EXPECT_EQ(caption.text(), "0");
    s.setDoubleValue(0);
    EXPECT_EQ(s.fillFrame().width(), 0);
    EXPECT_EQ(caption.text(), "-50");
    s.setDoubleValue(1);
    EXPECT_EQ(s.knobFrame().x(), 200 - 16);
    EXPECT_EQ(s.fillFrame().right(), 5 + 200 - 16);
    EXPECT_DOUBLE_EQ(s.rightPartFrame().x(), 200 - 16 + 8);
}
