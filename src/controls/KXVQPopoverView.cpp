#include "controls/KXVQPopoverView.h"

#include "controls/SharedBundle.h"
#include "platform/foundation/NotificationCenter.h"

#include <QGraphicsDropShadowEffect>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

// The one-column list: paints its background, makes the row cells when it is first shown, and
// turns pointer moves and clicks into rows.
class KXPopoverTableView : public QWidget {
  public:
    explicit KXPopoverTableView(KXVQPopoverView* owner) : _owner(owner) { setMouseTracking(true); }

  protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter(this).fillRect(event->rect(), KXPopoverViewCell::kRowColour);
    }
    void showEvent(QShowEvent*) override {
        for (int row = 0; row < _owner->_rowCount; ++row)
            _owner->cellAtRow(row);
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        _owner->mouseMovedInTable(event->position().toPoint());
    }
    void leaveEvent(QEvent*) override { _owner->mouseExitedTable(); }
    void mousePressEvent(QMouseEvent* event) override {
        event->accept();
        _pressed = true;
        const int row = _owner->rowAt(event->position().toPoint());
        if (row >= 0) _owner->rowClicked(row);
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        event->accept();
        if (!_pressed) return;
        _pressed = false;
        _owner->clickedAction(); // may release the popover: nothing after this
    }

  private:
    KXVQPopoverView* _owner;
    bool _pressed = false;
};

KXVQPopoverView::KXVQPopoverView(const QRect& frame, QPointF tableViewOrigin, QWidget* parent)
    : QWidget(parent), _tableViewOrigin(tableViewOrigin) {
    setGeometry(frame);
    setCursor(Qt::ArrowCursor);
    setFocusPolicy(Qt::StrongFocus);
    auto* shadow = new QGraphicsDropShadowEffect(this);
    shadow->setColor(QColor(0, 0, 0, 179));
    shadow->setOffset(2, 0);
    shadow->setBlurRadius(2);
    setGraphicsEffect(shadow);
    _observing = true;
    foundation::NotificationCenter::defaultCenter().addObserver(
        this, "kWindowDidResize", nullptr, [this](const foundation::Notification&) { clickedAction(); });
}

KXVQPopoverView::~KXVQPopoverView() {
    foundation::NotificationCenter::defaultCenter().removeObserver(this);
}

void KXVQPopoverView::show() {
    if (!_dataSource) return;
    const int r = _dataSource->kxPopoverViewTableCellHeight();
    const int w = _dataSource->kxPopoverViewTableViewWidth();
    const int n = int(_dataSource->kxPopoverViewTableViewCellsArray().size());
    const int m = _dataSource->kxPopoverViewMaxPopoverHeight();
    _maxPopoverHeight = m;
    _rowPitch = r;
    _width = w;
    _rowCount = n;
    if (m < 670) _tableViewOrigin.ry() -= 800 - m;
    const int rows = (r - 1) * n;
    const int height = std::min(m, rows) + (n <= 9 ? 12 : 0);

    delete _scrollView;
    _cells.clear();
    _scrollView = new VQPopoverScrollView(this);
    _scrollView->setGeometry(int(_tableViewOrigin.x()), int(this->height() - _tableViewOrigin.y() - height),
                             w, height);
    _tableView = new KXPopoverTableView(this);
    _scrollView->setWidget(_tableView);
    _scrollView->setWidgetResizable(false);
    const QSize clip = _scrollView->maximumViewportSize();
    // The viewport already leaves the header out.
    _tableView->resize(w - 2, m < rows ? rows : clip.height());
    _scrollView->setVerticalScrollBarPolicy(m < rows ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    _scrollView->show();
    QWidget::show();
    raise();
    // The pointer starts outside every row.
    _trackingCellIndex = -1;
}

QRect KXVQPopoverView::rowRect(int row) const {
    // Rows of height r - 3 with one point between them.
    const int rowHeight = _rowPitch - 3;
    return QRect(0, row * (rowHeight + 1), _tableView ? _tableView->width() : _width, rowHeight);
}

int KXVQPopoverView::rowAt(QPoint inTable) const {
    if (_rowPitch <= 2 || inTable.y() < 0 || !_tableView || inTable.x() < 0 ||
        inTable.x() >= _tableView->width())
        return -1;
    const int row = inTable.y() / (_rowPitch - 2);
    return row < _rowCount && rowRect(row).contains(inTable) ? row : -1;
}

KXPopoverViewCell* KXVQPopoverView::cellAtRow(int row) {
    if (row < 0 || row >= _rowCount || !_tableView || !_dataSource) return nullptr;
    if (auto found = _cells.find(row); found != _cells.end()) return found->second;
    const QStringList titles = _dataSource->kxPopoverViewTableViewCellsArray();
    const int width = _dataSource->kxPopoverViewTableViewWidth(),
              pitch = _dataSource->kxPopoverViewTableCellHeight();
    auto* cell = new KXPopoverViewCell(titles.value(row), _dataSource->kxPopoverViewFont(),
                                       QSize(width, pitch), _tableView);
    if (_delegate && _delegate->hasBottomSeparatorAtIndex(this, row))
        cell->setSeparatorImage(imageNamedAdditional("title_stroke", devicePixelRatioF()));
    const bool checked = row == _dataSource->kxPopoverViewSelectedCellIndex();
    cell->deselect();
    cell->setChecked(checked);
    cell->setGeometry(rowRect(row));
    cell->show();
    _cells[row] = cell;
    return cell;
}

void KXVQPopoverView::mouseMovedInTable(QPoint inTable) {
    _trackingCellIndex = rowAt(inTable);
    if (_trackingCellIndex < 0) return;
    for (auto& [row, cell] : _cells)
        cell->deselect();
    if (KXPopoverViewCell* cell = cellAtRow(_trackingCellIndex)) cell->select();
}

void KXVQPopoverView::mouseExitedTable() {
    for (auto& [row, cell] : _cells)
        cell->deselect();
}

void KXVQPopoverView::rowClicked(int row) {
    if (_delegate) _delegate->didSelectCellAtIndex(this, row);
}

void KXVQPopoverView::clickedAction() {
    if (_observing) {
        _observing = false;
        foundation::NotificationCenter::defaultCenter().removeObserver(this);
    }
    if (_delegate) _delegate->wantsRelease(this, true);
}

void KXVQPopoverView::mousePressEvent(QMouseEvent* event) {
    event->accept();
    const bool outside = !_scrollView || !_scrollView->geometry().contains(event->position().toPoint());
    if (outside && (event->button() == Qt::LeftButton || event->button() == Qt::RightButton) && _delegate)
        _delegate->wantsRelease(this, true);
}

void KXVQPopoverView::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
}
void KXVQPopoverView::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
}
