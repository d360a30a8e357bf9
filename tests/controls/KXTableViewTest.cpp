#include "controls/KXTableView.h"
#include "support/UiApplication.h"

#include <QElapsedTimer>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include <map>
#include <memory>

namespace {

void settle() { // scroll steps animate over 0.2 s
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 350)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

struct Columns : KXTableViewDataSource, KXTableViewDelegate {
    int64_t count = 10, width = 100;
    std::map<int64_t, std::unique_ptr<QWidget>> cells;
    std::vector<int64_t> asked, selected;
    int scrolls = 0;
    int64_t numberOfColumns() override { return count; }
    int64_t widthForColumnAtIndex(int64_t) override { return width; }
    QWidget* cellForColumnAtIndex(int64_t index) override {
        asked.push_back(index);
        auto& cell = cells[index];
        if (!cell) cell = std::make_unique<QWidget>();
        return cell.get();
    }
    void didSelectColumnAtIndex(KXTableView*, int64_t index) override { selected.push_back(index); }
    void kxTableViewDidScroll() override { ++scrolls; }
};

struct Strip {
    explicit Strip(Columns* columns) {
        host.resize(350, 140);
        strip = KXTableView::makeInScrollArea(&host, &area);
        area->setGeometry(0, 0, 350, 140);
        host.show(); // the scroll area lays out its viewport once shown
        QApplication::processEvents();
        if (columns) {
            strip->setDataSource(columns);
            strip->setDelegate(columns);
        }
        strip->reloadData();
    }
    ~Strip() {
        // The data source's cells outlive the strip's hold on them.
        for (QObject* child : strip->children())
            if (auto* w = qobject_cast<QWidget*>(child)) w->setParent(nullptr);
    }
    QApplication& app = uiApplication(); // before the host widget
    QWidget host;
    QScrollArea* area = nullptr;
    KXTableView* strip = nullptr;
};

} // namespace

TEST(KXTableView, WithoutADataSourceTheStripIsJustItsMargin) {
    Strip s(nullptr);
    EXPECT_EQ(s.strip->width(), 8);
    EXPECT_EQ(s.strip->visibleCellsCount(), 0);
    EXPECT_EQ(s.strip->cellsCount(), 0);
}

TEST(KXTableView, OnlyTheColumnsInViewAreAskedFor) {
    Columns columns;
    Strip s(&columns);
    EXPECT_EQ(s.strip->width(), 1008);
    ASSERT_FALSE(columns.asked.empty());
    EXPECT_EQ(columns.asked.front(), 0);
    EXPECT_LE(*std::max_element(columns.asked.begin(), columns.asked.end()), 5);
    QWidget* first = s.strip->cellWithTag(200);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->geometry(), QRect(4, 0, 100, 140));
    EXPECT_EQ(s.strip->cellWithTag(202)->x(), 204);
    EXPECT_FALSE(s.strip->cellWithTag(209));
    columns.asked.clear();
    s.strip->setScrollPosition(600, false);
    EXPECT_GT(columns.scrolls, 0);
    EXPECT_NE(std::find(columns.asked.begin(), columns.asked.end(), 6), columns.asked.end());
}

TEST(KXTableView, ANarrowStripCannotScroll) {
    Columns columns;
    columns.count = 2;
    Strip s(&columns);
    EXPECT_FALSE(s.strip->canScrollLeft());
    s.strip->scrollRight();
    EXPECT_EQ(s.strip->scrollPosition(), 0);
}

TEST(KXTableView, AWheelUpScrollsLeftByOneColumn) {
    Columns columns;
    Strip s(&columns);
    s.strip->setScrollPosition(300, false);
    EXPECT_TRUE(s.strip->canScrollLeft());
    QWheelEvent up(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
    QApplication::sendEvent(s.strip, &up);
    settle();
    EXPECT_EQ(s.strip->scrollPosition(), 200);
    QWheelEvent down(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, -120), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(s.strip, &down);
    settle();
    EXPECT_EQ(s.strip->scrollPosition(), 300);
}

TEST(KXTableView, ClicksReportTheirColumnAndTheTrailingMarginReportsN) {
    Columns columns;
    columns.count = 3;
    Strip s(&columns);
    for (int x : {50, 250, 305}) {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(x, 20), s.strip->mapToGlobal(QPointF(x, 20)),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(s.strip, &press);
    }
    EXPECT_EQ(columns.selected, (std::vector<int64_t>{0, 2, 3}));
}

TEST(KXTableView, ANewScrollSupersedesOneStillRunning) {
    Columns columns;
    Strip s(&columns);
    s.strip->setScrollPosition(500, true);
    s.strip->setScrollPosition(100, true);
    settle();
    EXPECT_EQ(s.strip->scrollPosition(), 100);
    s.strip->setScrollPosition(400, true);
    s.strip->setScrollPosition(0, false);
    settle();
    EXPECT_EQ(s.strip->scrollPosition(), 0);
}
