#pragma once
// The share popover: a list of the share manager's destinations shown from a view, with the
// shares first, then the applications to open the photo in, then exporting to an image file.
// Choosing a row hands the photo on through the prepare block (or calls the export callback) and
// closes the popover; a click outside the list, a window resize or a second show closes it too.
// Every close calls the close handler once.
#include "controls/KXPopoverViewDataSource.h"
#include "controls/KXPopoverViewDelegate.h"
#include "controls/KXShareManager.h"
#include "controls/KXVQPopoverView.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <vector>

class QWidget;

class KXShareViewController : public QObject, public KXPopoverViewDataSource, public KXPopoverViewDelegate {
    Q_OBJECT
  public:
    // Where the list opens against the view it is shown from.
    enum Position { kBelowLeft = 3 };

    KXShareViewController();
    ~KXShareViewController() override;

    void setExportToImageCallback(std::function<void()> callback) {
        _exportToImageCallback = std::move(callback);
    }
    void setCloseHandler(std::function<void()> handler) { _closeHandler = std::move(handler); }
    void setPrepareImagesHandler(KXShareManager::PrepareBlock prepare) { _prepare = std::move(prepare); }
    int popoverPosition() const { return _popoverPosition; }
    void setPopoverPosition(int position) { _popoverPosition = position; }
    // Moves the list from its place by points, y-up.
    void setPositionShiftX(double shift) { _shiftX = shift; }
    void setPositionShiftY(double shift) { _shiftY = shift; }

    // Lays the list over the window of `view`, under the view's left edge plus the shifts.
    void showFromView(QWidget* view);
    void close();
    KXVQPopoverView* popover() const { return _popover; }
    bool isShown() const { return _popover != nullptr; }

    // The rows as shown: titles, and whether a separator follows.
    QStringList kxPopoverViewTableViewCellsArray() override;
    int kxPopoverViewTableCellHeight() override { return 24; }
    int kxPopoverViewTableViewWidth() override { return 220; }
    int kxPopoverViewSelectedCellIndex() override { return -1; }
    int kxPopoverViewMaxPopoverHeight() override { return 800; }
    QFont kxPopoverViewFont() override;
    void didSelectCellAtIndex(KXVQPopoverView* popover, int index) override;
    void wantsRelease(KXVQPopoverView* popover, bool release) override;
    bool hasBottomSeparatorAtIndex(KXVQPopoverView* popover, int index) override;

  private:
    struct Row {
        QString title;
        KXShareManager::Destination destination;
        bool exportsToImage = false;
    };
    void buildRows();

    std::vector<Row> _rows;
    size_t _shareCount = 0, _openInCount = 0;
    KXShareManager::PrepareBlock _prepare;
    std::function<void()> _exportToImageCallback, _closeHandler;
    int _popoverPosition = kBelowLeft;
    double _shiftX = 0, _shiftY = 0;
    QPointer<KXVQPopoverView> _popover;
};
