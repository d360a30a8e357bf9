#include "controls/KXTableView.h"

#include <QMouseEvent>
#include <QPropertyAnimation>
#include <QScrollBar>
#include <QWheelEvent>

namespace {
const char* const kTag = "opaleneColumnTag";
}

KXTableView* KXTableView::makeInScrollArea(QWidget* parent, QScrollArea** scrollArea) {
    auto* area = new QScrollArea(parent);
    area->setFrameShape(QFrame::NoFrame);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setWidgetResizable(false);
    auto* strip = new KXTableView(area);
    area->setWidget(strip);
    if (scrollArea) *scrollArea = area;
    return strip;
}

KXTableView::KXTableView(QScrollArea* scrollArea) : QWidget(nullptr), _scrollArea(scrollArea) {
    setFocusPolicy(Qt::ClickFocus);
    connect(scrollArea->horizontalScrollBar(), &QScrollBar::valueChanged, this,
            [this] { boundsDidChange(); });
    connect(scrollArea->horizontalScrollBar(), &QScrollBar::rangeChanged, this,
            [this] { boundsDidChange(); });
    reloadData();
}

int KXTableView::scrollPosition() const {
    return _scrollArea->horizontalScrollBar()->value();
}

void KXTableView::setScrollPosition(int x, bool animated) {
    QScrollBar* bar = _scrollArea->horizontalScrollBar();
    // A new scroll supersedes one still running: two would fight over the position to the end.
    if (_scrollAnimation) _scrollAnimation->stop();
    if (!animated || !isVisible()) {
        bar->setValue(x);
        return;
    }
    auto* step = new QPropertyAnimation(bar, "value", bar);
    _scrollAnimation = step;
    step->setDuration(200);
    step->setStartValue(bar->value());
    step->setEndValue(x);
    step->start(QAbstractAnimation::DeleteWhenStopped);
}

int64_t KXTableView::firstWidth() const {
    return _dataSource ? _dataSource->widthForColumnAtIndex(0) : 0;
}

QWidget* KXTableView::cellWithTag(int64_t tag) const {
    for (QObject* child : children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget && widget->property(kTag).isValid() && widget->property(kTag).toLongLong() == tag)
            return widget;
    }
    return nullptr;
}

void KXTableView::reloadData() {
    removeCells();
    QPalette palette = _scrollArea->viewport()->palette();
    palette.setColor(QPalette::Window, QColor::fromRgbF(0.1f, 0.1f, 0.1f));
    _scrollArea->viewport()->setPalette(palette);
    _scrollArea->viewport()->setAutoFillBackground(true);
    int64_t width = 0;
    const int64_t n = _dataSource ? _dataSource->numberOfColumns() : 0;
    for (int64_t i = 0; i < n; ++i)
        width += _dataSource->widthForColumnAtIndex(i);
    resize(int(width + 8), _scrollArea->viewport()->height());
    loadVisibleCells();
}

void KXTableView::removeCells() {
    // Every cell the strip holds, not only the tags up to 199 + cellsCount: a column added twice
    // counts twice, so that range can miss cells.
    for (QObject* child : children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget && widget->property(kTag).isValid()) {
            widget->hide();
            widget->setParent(nullptr); // the data source owns its cells
        }
    }
    _cellsCount = 0;
}

void KXTableView::addCell(QWidget* cell, int64_t column) {
    const int64_t tag = kFirstTag + column;
    if (QWidget* old = cellWithTag(tag); old && old != cell) {
        old->hide();
        old->setParent(nullptr);
    }
    cell->setProperty(kTag, qlonglong(tag));
    if (cell->parentWidget() != this) cell->setParent(this);
    const int64_t x = column == 0 ? 4 : _dataSource->widthForColumnAtIndex(column - 1) * column + 4;
    cell->setGeometry(int(x), cell->y(), int(_dataSource->widthForColumnAtIndex(column)),
                      _scrollArea->viewport()->height());
    cell->show();
    ++_cellsCount;
}

int64_t KXTableView::visibleCellsCount() const {
    const int64_t w0 = firstWidth();
    if (!_dataSource || w0 <= 0) return 0;
    const int64_t fw = _scrollArea->viewport()->width(), bx = scrollPosition();
    const int64_t a = fw + 8;
    const int64_t first = (bx - 1 + 4) / w0;
    int64_t count = a / w0 + (a % w0 != 0 ? 1 : 0);
    const auto cutOff = [&](int64_t tag) {
        const QWidget* cell = cellWithTag(tag);
        if (!cell) return true;
        const QRect visible = cell->geometry().intersected(QRect(int(bx), 0, int(fw), height()));
        return visible.width() < w0;
    };
    if (cutOff(kFirstTag + first)) ++count;
    if (cutOff(kFirstTag + first + count)) ++count;
    return count;
}

void KXTableView::loadVisibleCells() {
    const int64_t w0 = firstWidth();
    if (!_dataSource || w0 <= 0) return;
    const int64_t n = _dataSource->numberOfColumns();
    const int64_t first = std::max<int64_t>(0, (scrollPosition() - 1) / w0);
    const int64_t count = visibleCellsCount();
    for (int64_t column = first; column < first + count && column < n; ++column)
        if (QWidget* cell = _dataSource->cellForColumnAtIndex(column)) addCell(cell, column);
}

void KXTableView::boundsDidChange() {
    if (_delegate) _delegate->kxTableViewDidScroll();
    loadVisibleCells();
}

bool KXTableView::canScrollAtAll() const {
    return width() > _scrollArea->viewport()->width();
}
bool KXTableView::canScrollLeft() const {
    return scrollPosition() - 1 > 0;
}
bool KXTableView::canScrollRight() const {
    return scrollPosition() - 1 + _scrollArea->viewport()->width() < width();
}

void KXTableView::scrollLeft() {
    if (canScrollAtAll()) setScrollPosition(scrollPosition() - int(firstWidth()), true);
}

void KXTableView::scrollRight() {
    if (canScrollAtAll()) setScrollPosition(scrollPosition() + int(firstWidth()), true);
}

void KXTableView::mousePressEvent(QMouseEvent* event) {
    const int64_t w0 = firstWidth();
    if (_delegate && w0 > 0) _delegate->didSelectColumnAtIndex(this, int64_t(event->position().x()) / w0);
    setFocus(Qt::MouseFocusReason);
}

void KXTableView::wheelEvent(QWheelEvent* event) {
    const QPoint delta = event->angleDelta();
    if (delta.y() != 0 && delta.x() == 0) {
        if (delta.y() > 0 && canScrollLeft())
            scrollLeft();
        else if (delta.y() < 0 && canScrollRight())
            scrollRight();
        event->accept();
        return;
    }
    event->ignore(); // horizontal and diagonal movement scroll the area itself
}
