#pragma once
// A horizontal strip of equal-width columns inside a scroll area, each column a cell view from a
// data source. Cells are asked for only as they come into view; clicks report their column and
// every scroll is told to the delegate. Column i's cell carries the tag 200 + i.
#include <QPointer>
#include <QPropertyAnimation>
#include <QScrollArea>
#include <QWidget>
#include <cstdint>

class KXTableView;

class KXTableViewDataSource {
  public:
    virtual ~KXTableViewDataSource() = default;
    virtual int64_t numberOfColumns() = 0;
    virtual int64_t widthForColumnAtIndex(int64_t index) = 0;
    // The same cell object for a column while it is valid; the strip takes it as a child.
    virtual QWidget* cellForColumnAtIndex(int64_t index) = 0;
};

class KXTableViewDelegate {
  public:
    virtual ~KXTableViewDelegate() = default;
    virtual void didSelectColumnAtIndex(KXTableView* tableView, int64_t index) = 0;
    virtual void kxTableViewDidScroll() = 0;
};

class KXTableView : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kFirstTag = 200;

    // Makes the strip inside a new scroll area (the "clip view"), a child of `parent`.
    static KXTableView* makeInScrollArea(QWidget* parent, QScrollArea** scrollArea = nullptr);

    KXTableViewDataSource* dataSource() const { return _dataSource; }
    void setDataSource(KXTableViewDataSource* dataSource) { _dataSource = dataSource; }
    KXTableViewDelegate* delegate() const { return _delegate; }
    void setDelegate(KXTableViewDelegate* delegate) { _delegate = delegate; }
    int64_t cellsCount() const { return _cellsCount; }
    void setCellsCount(int64_t count) { _cellsCount = count; }

    void reloadData();
    int64_t visibleCellsCount() const;
    bool canScrollLeft() const;
    bool canScrollRight() const;
    void scrollLeft();
    void scrollRight();

    // The cell of a column, found by its tag; null when not loaded.
    QWidget* cellWithTag(int64_t tag) const;
    QScrollArea* scrollArea() const { return _scrollArea; }
    // The clip view's bounds origin x (the scroll position).
    int scrollPosition() const;
    void setScrollPosition(int x, bool animated);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    explicit KXTableView(QScrollArea* scrollArea);
    void boundsDidChange();
    void loadVisibleCells();
    void addCell(QWidget* cell, int64_t column);
    void removeCells();
    int64_t firstWidth() const;
    bool canScrollAtAll() const;

    KXTableViewDataSource* _dataSource = nullptr;
    KXTableViewDelegate* _delegate = nullptr;
    int64_t _cellsCount = 0;
    QScrollArea* _scrollArea = nullptr;
    QPointer<QPropertyAnimation> _scrollAnimation;
};
