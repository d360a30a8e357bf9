#pragma once
#include <QFont>
#include <QStringList>

// What a popover list shows; every method is asked for.
class KXPopoverViewDataSource {
  public:
    virtual ~KXPopoverViewDataSource() = default;
    virtual int kxPopoverViewTableCellHeight() = 0; // row pitch in points
    virtual int kxPopoverViewTableViewWidth() = 0;
    virtual QStringList kxPopoverViewTableViewCellsArray() = 0;
    virtual int kxPopoverViewSelectedCellIndex() = 0; // the checked row
    virtual int kxPopoverViewMaxPopoverHeight() = 0;
    virtual QFont kxPopoverViewFont() = 0;
};
