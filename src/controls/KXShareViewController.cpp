#include "controls/KXShareViewController.h"

#include "controls/KXVQPopoverView.h"
#include "platform/services/KXSLocalization.h"

#include <QWidget>
#include <algorithm>

namespace {
QString localized(const char* key) {
    return QString::fromStdString(services::KXSLocalization::localizedStringForKey(key, ""));
}
} // namespace

KXShareViewController::KXShareViewController() = default;

KXShareViewController::~KXShareViewController() {
    // The popover is the window's child and may outlive this owner: it must not call back.
    if (_popover) {
        _popover->setDataSource(nullptr);
        _popover->setDelegate(nullptr);
        _popover->deleteLater();
    }
}

void KXShareViewController::buildRows() {
    _rows.clear();
    const auto shares = KXShareManager::shareDestinations();
    const auto applications = KXShareManager::exportDestinations();
    for (const auto& destination : shares)
        _rows.push_back({QString::fromStdString(destination.title), destination, false});
    for (const auto& destination : applications)
        _rows.push_back({localized("Open in %@").replace("%@", QString::fromStdString(destination.title)),
                         destination, false});
    _rows.push_back({localized("Export to Image..."), {}, true});
    _shareCount = shares.size();
    _openInCount = applications.size();
}

void KXShareViewController::showFromView(QWidget* view) {
    close();
    if (!view || !view->window()) return;
    QWidget* window = view->window();
    QWidget* content = window->findChild<QWidget*>("contentView");
    if (!content) content = window;
    buildRows();
    const int rowCount = int(_rows.size());
    const int height =
        std::min(kxPopoverViewMaxPopoverHeight(), (kxPopoverViewTableCellHeight() - 1) * rowCount) +
        (rowCount <= 9 ? 12 : 0);
    // Below the view, left edges together, then the shifts (y-up: a negative shift moves down).
    const QPoint corner = view->mapTo(content, QPoint(0, view->height()));
    const double x = corner.x() + _shiftX;
    const double top = content->height() - corner.y() + _shiftY;
    _popover = new KXVQPopoverView(content->rect(), QPointF(x, top - height), content);
    _popover->setObjectName("sharePopover");
    _popover->setDataSource(this);
    _popover->setDelegate(this);
    _popover->show();
}

void KXShareViewController::close() {
    if (!_popover) return;
    KXVQPopoverView* popover = _popover;
    _popover = nullptr;
    popover->hide();
    popover->setDelegate(nullptr);
    popover->deleteLater();
    if (_closeHandler) _closeHandler();
}

QStringList KXShareViewController::kxPopoverViewTableViewCellsArray() {
    QStringList titles;
    for (const Row& row : _rows)
        titles << row.title;
    return titles;
}

QFont KXShareViewController::kxPopoverViewFont() {
    QFont font("Helvetica");
    font.setPixelSize(13);
    return font;
}

void KXShareViewController::didSelectCellAtIndex(KXVQPopoverView* popover, int index) {
    if (popover != _popover || index < 0 || index >= int(_rows.size())) return;
    const Row row = _rows[size_t(index)];
    QWidget* window = popover->window();
    // Closed first: handing the photo on may apply a look and show a panel over the window.
    close();
    if (row.exportsToImage) {
        if (_exportToImageCallback) _exportToImageCallback();
    } else {
        KXShareManager::performDestination(row.destination, _prepare, window);
    }
}

void KXShareViewController::wantsRelease(KXVQPopoverView* popover, bool) {
    if (popover == _popover) close();
}

bool KXShareViewController::hasBottomSeparatorAtIndex(KXVQPopoverView*, int index) {
    const size_t row = size_t(index);
    return (row + 1 == _shareCount && _rows.size() > _shareCount) ||
           (_openInCount > 0 && row + 1 == _shareCount + _openInCount);
}
