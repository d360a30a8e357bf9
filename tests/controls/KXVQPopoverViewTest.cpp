#include "controls/KXVQPopoverView.h"
#include "controls/SharedBundle.h"
#include "controls/VQView.h"
#include "platform/foundation/NotificationCenter.h"
#include "support/TestSkins.h"
#include "support/UiApplication.h"

#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>
#include <QWheelEvent>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

struct Rows : KXPopoverViewDataSource {
    int pitch = 20, width = 180, checked = 1, cap = 800;
    QStringList titles{"Original", "Square", "4 x 6", "5 x 7", "16 x 9"};
    int kxPopoverViewTableCellHeight() override { return pitch; }
    int kxPopoverViewTableViewWidth() override { return width; }
    QStringList kxPopoverViewTableViewCellsArray() override { return titles; }
    int kxPopoverViewSelectedCellIndex() override { return checked; }
    int kxPopoverViewMaxPopoverHeight() override { return cap; }
    QFont kxPopoverViewFont() override {
        QFont font("Helvetica");
        font.setPixelSize(13);
        return font;
    }
};

struct Owner : KXPopoverViewDelegate {
    std::vector<std::string> events;
    bool releaseLater = false;
    void didSelectCellAtIndex(KXVQPopoverView*, int index) override {
        events.push_back("select " + std::to_string(index));
    }
    void wantsRelease(KXVQPopoverView* popover, bool release) override {
        events.push_back(release ? "release" : "keep");
        if (releaseLater) popover->deleteLater();
    }
    bool hasBottomSeparatorAtIndex(KXVQPopoverView*, int index) override { return index == 0; }
};

class Popovers : public ::testing::Test {
  protected:
    QApplication& app = uiApplication();
    TestSkins dir;
    QWidget window;
    Rows rows;
    Owner owner;

    void SetUp() override {
        put("check_y", Qt::black);
        put("check_b", Qt::yellow);
        put("title_stroke", Qt::gray, QSize(10, 2));
        window.resize(1000, 900);
    }
    void put(const std::string& name, QColor colour, QSize size = QSize(11, 11)) {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(colour);
        ASSERT_TRUE(image.save(QString::fromStdString(dir.file(name + ".png"))));
    }
    // Made as the owners make it: over the window's content, origin y-up.
    KXVQPopoverView* popover(QPointF origin = QPointF(100, 850)) {
        auto* view = new KXVQPopoverView(QRect(0, 0, 1000, 900), origin, &window);
        view->setDataSource(&rows);
        view->setDelegate(&owner);
        return view;
    }
    static void mouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        const Qt::MouseButtons buttons =
            type == QEvent::MouseButtonRelease || type == QEvent::MouseMove ? Qt::NoButton : button;
        QMouseEvent event(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(w, &event);
    }
    static void click(QWidget* w, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        mouse(w, QEvent::MouseButtonPress, at, button);
        mouse(w, QEvent::MouseButtonRelease, at, button);
    }
};

} // namespace

TEST_F(Popovers, ListHeightCapAndOriginFromTheDataSource) {
    struct Case {
        int rows, pitch, cap;
        int height, table;
        double originY; // y-up after show
    } cases[] = {
        {5, 30, 400, 157, -1, 450},   // 5 x 29 + 12, no scrolling; lowered by 800 - 400
        {20, 30, 300, 300, 580, 350}, // longer than its cap: the table scrolls
        {3, 20, 600, 69, -1, 650},    // lowered by 200
        {12, 20, 800, 228, -1, 850},  // a cap of 800 keeps the origin
    };
    for (const Case& c : cases) {
        rows.titles.clear();
        for (int i = 0; i < c.rows; ++i)
            rows.titles << QString("Row %1").arg(i);
        rows.pitch = c.pitch;
        rows.cap = c.cap;
        KXVQPopoverView* view = popover();
        view->show();
        EXPECT_EQ(view->tableViewOrigin(), QPointF(100, c.originY)) << c.rows;
        EXPECT_EQ(view->scrollView()->geometry(), QRect(100, int(900 - c.originY - c.height), 180, c.height))
            << c.rows;
        if (c.table > 0)
            EXPECT_EQ(view->tableView()->height(), c.table);
        else // the whole inside of the list below its header and line border: every row shows
            EXPECT_EQ(view->tableView()->height(), c.height - VQPopoverScrollView::kHeaderHeight - 2)
                << c.rows;
        delete view;
    }
    EXPECT_TRUE(owner.events.empty()); // showing chooses nothing
}

TEST_F(Popovers, RowsAreLaidOutWithTheCheckOnTheCurrentOne) {
    KXVQPopoverView* view = popover();
    view->show();
    EXPECT_EQ(view->rowRect(2), QRect(0, 36, view->tableView()->width(), 17)); // pitch 20: 17 high, 1 apart
    KXPopoverViewCell* checked = view->cellAtRow(1);
    ASSERT_NE(checked, nullptr);
    EXPECT_TRUE(checked->checked());
    EXPECT_FALSE(view->cellAtRow(0)->checked());
    EXPECT_EQ(view->cellAtRow(1), checked); // made once
    EXPECT_EQ(checked->imageView()->pixmap().toImage().pixelColor(5, 5), QColor(Qt::yellow));
    EXPECT_EQ(view->cellAtRow(0)->bottomSeparator()->findChildren<QLabel*>().size(), 1u);
    EXPECT_TRUE(view->cellAtRow(2)->bottomSeparator()->findChildren<QLabel*>().empty());
    EXPECT_EQ(view->cellAtRow(5), nullptr);
    EXPECT_EQ(view->cellAtRow(0)->categoryNameTextField()->text(), "Original");
    EXPECT_EQ(view->cellAtRow(0)->categoryNameTextField()->indent(), 20);
}

TEST_F(Popovers, LongTitlesAreCutAtTheirTail) {
    rows.titles = {"A category name far too long for the width of this small list"};
    rows.width = 120;
    KXVQPopoverView* view = popover();
    view->show();
    const QString shown = view->cellAtRow(0)->categoryNameTextField()->text();
    EXPECT_TRUE(shown.endsWith(QChar(0x2026))) << shown.toStdString();
    EXPECT_TRUE(shown.startsWith("A cat"));
}

TEST_F(Popovers, PointerLightsTheRowUnderIt) {
    KXVQPopoverView* view = popover();
    view->show();
    mouse(view->tableView(), QEvent::MouseMove, view->rowRect(1).center());
    EXPECT_EQ(view->trackingCellIndex(), 1);
    KXPopoverViewCell* hovered = view->cellAtRow(1);
    EXPECT_TRUE(hovered->selected());
    EXPECT_EQ(hovered->backgroundView()->backgroundColor(), KXPopoverViewCell::kHoverColour);
    EXPECT_EQ(hovered->imageView()->pixmap().toImage().pixelColor(5, 5), QColor(Qt::black));
    mouse(view->tableView(), QEvent::MouseMove, view->rowRect(3).center());
    EXPECT_FALSE(hovered->selected());
    EXPECT_EQ(hovered->backgroundView()->backgroundColor(), KXPopoverViewCell::kRowColour);
    EXPECT_TRUE(view->cellAtRow(3)->selected());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(view->tableView(), &leave);
    EXPECT_FALSE(view->cellAtRow(3)->selected());
}

TEST_F(Popovers, ChoosingARowReportsItThenAsksForRelease) {
    owner.releaseLater = true;
    QPointer<KXVQPopoverView> view = popover();
    view->show();
    click(view->tableView(), view->rowRect(1).center()); // the checked row still counts
    EXPECT_EQ(owner.events, (std::vector<std::string>{"select 1", "release"}));
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(view.isNull());
    foundation::NotificationCenter::defaultCenter().postNotificationName("kWindowDidResize");
    EXPECT_EQ(owner.events.size(), 2u); // a released popover hears nothing more
}

TEST_F(Popovers, ClicksOutsideTheListAndWindowResizesRelease) {
    KXVQPopoverView* view = popover();
    view->show();
    click(view, QPoint(10, 10), Qt::RightButton);
    EXPECT_EQ(owner.events, (std::vector<std::string>{"release"}));
    owner.events.clear();
    click(view, view->scrollView()->geometry().topLeft() + QPoint(20, 3)); // the header: inside, no row
    EXPECT_TRUE(owner.events.empty());
    foundation::NotificationCenter::defaultCenter().postNotificationName("kWindowDidResize");
    foundation::NotificationCenter::defaultCenter().postNotificationName("kWindowDidResize");
    EXPECT_EQ(owner.events, (std::vector<std::string>{"release"})); // it stopped listening
}

TEST_F(Popovers, TheWheelDoesNotScrollTheList) {
    rows.titles.clear();
    for (int i = 0; i < 30; ++i)
        rows.titles << QString("Row %1").arg(i);
    rows.cap = 300;
    window.show();
    KXVQPopoverView* view = popover(QPointF(100, 800));
    view->show();
    QApplication::processEvents();
    QScrollBar* bar = view->scrollView()->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    QWheelEvent wheel(QPointF(20, 50), view->scrollView()->mapToGlobal(QPointF(20, 50)), QPoint(),
                      QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view->scrollView()->viewport(), &wheel);
    EXPECT_EQ(bar->value(), 0);
}
