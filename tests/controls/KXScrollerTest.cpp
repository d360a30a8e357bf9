#include "controls/KXScroller.h"
#include "controls/SharedBundle.h"
#include "support/TestSkins.h"
#include "support/UiApplication.h"

#include <QMouseEvent>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

class Scrollers : public ::testing::Test {
  protected:
    QApplication& app = uiApplication();
    TestSkins dir;

    void put(const std::string& name, QSize size, QColor colour) {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(colour);
        ASSERT_TRUE(image.save(QString::fromStdString(dir.file(name + ".png"))));
    }
    static void mouse(QWidget& w, QEvent::Type type, QPoint at) {
        const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, QPointF(at), w.mapToGlobal(QPointF(at)), Qt::LeftButton, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(&w, &event);
    }
};

} // namespace

TEST_F(Scrollers, KnobLengthIsTheProportionAndItsPlaceTheValue) {
    struct Case {
        QSize size;
        double proportion, value;
        QRectF knob;
    } cases[] = {
        {{200, 18}, 0.25, 0, {0, 0, 50, 18}},
        {{200, 18}, 0.25, 1, {150, 0, 50, 18}},
        {{200, 18}, 0.25, 0.5, {75, 0, 50, 18}},
        {{200, 18}, 0.01, 1, {184, 0, 16, 18}}, // never shorter than the least knob
        {{200, 18}, 3, 0.5, {0, 0, 200, 18}},   // proportions above 1 are 1
        {{18, 200}, 0.5, 1, {0, 100, 18, 100}}, // standing: 1 is the bottom
        {{18, 200}, 0.5, -2, {0, 0, 18, 100}},
    };
    for (const Case& c : cases) {
        KXScroller scroller;
        scroller.resize(c.size);
        scroller.setKnobProportion(c.proportion);
        scroller.setDoubleValue(c.value);
        EXPECT_EQ(scroller.knobRect(), c.knob) << c.size.width() << " " << c.proportion << " " << c.value;
    }
    EXPECT_EQ(KXScroller::scrollerWidth(), 8);
    KXScroller placed;
    placed.resize(300, 15);
    placed.awakeFromNib();
    EXPECT_EQ(placed.size(), QSize(300, 7));
}

TEST_F(Scrollers, PressesReportTheirPartAndDragsTheValue) {
    KXScroller scroller;
    scroller.resize(200, 18);
    scroller.setKnobProportion(0.25);
    scroller.setDoubleValue(0.5); // knob over 75..125
    std::vector<std::pair<KXScroller::HitPart, double>> actions;
    QObject::connect(&scroller, &KXScroller::action, [&](KXScroller* sender) {
        actions.push_back({sender->hitPart(), sender->doubleValue()});
    });
    mouse(scroller, QEvent::MouseButtonPress, {20, 9});
    mouse(scroller, QEvent::MouseButtonRelease, {20, 9});
    mouse(scroller, QEvent::MouseButtonPress, {180, 9});
    mouse(scroller, QEvent::MouseButtonRelease, {180, 9});
    using P = KXScroller::HitPart;
    ASSERT_EQ(actions.size(), 2u);
    EXPECT_EQ(actions[0], std::make_pair(P::kDecrementPage, 0.5)); // the owner moves by a page
    EXPECT_EQ(actions[1], std::make_pair(P::kIncrementPage, 0.5));
    actions.clear();
    mouse(scroller, QEvent::MouseButtonPress, {100, 9});
    mouse(scroller, QEvent::MouseMove, {130, 9});
    mouse(scroller, QEvent::MouseMove, {400, 9});
    mouse(scroller, QEvent::MouseButtonRelease, {400, 9});
    ASSERT_EQ(actions.size(), 3u);
    EXPECT_EQ(actions[0], std::make_pair(P::kKnob, 0.5));
    EXPECT_EQ(actions[1].first, P::kKnob);
    EXPECT_DOUBLE_EQ(actions[1].second, 0.7); // 30 points of 150 of travel
    EXPECT_EQ(actions[2].second, 1.0);
    mouse(scroller, QEvent::MouseMove, {10, 9}); // released: moving changes nothing
    EXPECT_EQ(scroller.doubleValue(), 1.0);
}

TEST_F(Scrollers, DrawsTheKnobSevenPointsInOnTheDarkSlot) {
    put("jrv_scroll_btn_left", {4, 7}, Qt::red);
    put("jrv_scroll_btn_center", {1, 7}, Qt::green);
    put("jrv_scroll_btn_right", {4, 7}, Qt::blue);
    put("jrv_scroll_btn_top", {7, 4}, Qt::red);
    put("jrv_scroll_btn_center_vertical", {7, 1}, Qt::green);
    put("jrv_scroll_btn_bottom", {7, 4}, Qt::blue);
    KXScroller lying;
    lying.resize(200, 18);
    lying.setKnobProportion(0.25);
    lying.setDoubleValue(1);
    QImage shown = lying.grab().toImage();
    EXPECT_EQ(shown.pixelColor(50, 9), QColor(18, 22, 27));
    EXPECT_EQ(shown.pixelColor(151, 7), QColor(Qt::red));
    EXPECT_EQ(shown.pixelColor(175, 13), QColor(Qt::green));
    EXPECT_EQ(shown.pixelColor(198, 10), QColor(Qt::blue));
    EXPECT_EQ(shown.pixelColor(175, 6), QColor(18, 22, 27));
    EXPECT_EQ(shown.pixelColor(175, 14), QColor(18, 22, 27));

    KXScroller standing;
    standing.resize(18, 200);
    standing.setKnobProportion(0.25);
    shown = standing.grab().toImage();
    EXPECT_EQ(shown.pixelColor(10, 1), QColor(Qt::red));
    EXPECT_EQ(shown.pixelColor(10, 25), QColor(Qt::green));
    EXPECT_EQ(shown.pixelColor(10, 48), QColor(Qt::blue));
    EXPECT_EQ(shown.pixelColor(10, 60), QColor(18, 22, 27));
}

TEST_F(Scrollers, BackViewShowsOnlyWhileDisabled) {
    QWidget host;
    KXScroller scroller(&host);
    QWidget back(&host);
    scroller.setBackSubview(&back);
    EXPECT_TRUE(back.isHidden());
    scroller.setEnabled(false);
    EXPECT_FALSE(back.isHidden());
    scroller.setEnabled(true);
    EXPECT_TRUE(back.isHidden());
}
