#pragma once
// A drop-down list laid over a whole window: one shadowed, rounded list of titles with the
// current one checked and the one under the pointer lit. A click on a row reports it and then
// asks the owner to release the popover; so do a click outside the list and a window resize
// ("kWindowDidResize"). Showing the list reports nothing.
#include "controls/KXPopoverViewCell.h"
#include "controls/KXPopoverViewDataSource.h"
#include "controls/KXPopoverViewDelegate.h"
#include "controls/VQPopoverScrollView.h"

#include <QPointF>
#include <QWidget>
#include <map>

class KXVQPopoverView : public QWidget {
    Q_OBJECT
  public:
    // `frame` is the window content's rectangle; `tableViewOrigin` the list's bottom-left corner in
    // it, y-up.
    KXVQPopoverView(const QRect& frame, QPointF tableViewOrigin, QWidget* parent = nullptr);
    ~KXVQPopoverView() override;

    KXPopoverViewDataSource* dataSource() const { return _dataSource; }
    void setDataSource(KXPopoverViewDataSource* source) { _dataSource = source; } // not owned
    KXPopoverViewDelegate* delegate() const { return _delegate; }
    void setDelegate(KXPopoverViewDelegate* delegate) { _delegate = delegate; } // not owned
    QPointF tableViewOrigin() const { return _tableViewOrigin; }
    void setTableViewOrigin(QPointF origin) { _tableViewOrigin = origin; }

    // Builds the list from the data source and shows it. Owners add the popover above the window's
    // other views first.
    void show();

    VQPopoverScrollView* scrollView() const { return _scrollView; }
    QWidget* tableView() const { return _tableView; }
    int trackingCellIndex() const { return _trackingCellIndex; }
    // The row's cell, made on first request and kept.
    KXPopoverViewCell* cellAtRow(int row);
    int rowAt(QPoint inTable) const;
    QRect rowRect(int row) const; // in the table

    // The table's action, and the window-resize handler.
    void clickedAction();
    // Hover, fed by the table's mouse moves.
    void mouseMovedInTable(QPoint inTable);
    void mouseExitedTable();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    friend class KXPopoverTableView;
    void rowClicked(int row);

    QPointF _tableViewOrigin;
    KXPopoverViewDataSource* _dataSource = nullptr;
    KXPopoverViewDelegate* _delegate = nullptr;
    std::map<int, KXPopoverViewCell*> _cells; // children of the table
    int _maxPopoverHeight = 0, _rowPitch = 0, _width = 0, _rowCount = 0;
    VQPopoverScrollView* _scrollView = nullptr;
    QWidget* _tableView = nullptr;
    int _trackingCellIndex = -1;
    bool _observing = false;
};
