#include "controls/VQDropView.h"

#include <QDragEnterEvent>
#include <QDropEvent>

VQDropView::VQDropView(QWidget* parent) : VQView(parent) {
    setAcceptDrops(true);
}

bool VQDropView::canRead(const QMimeData* data) const {
    return _delegate && data && _delegate->canReadDataFromPasteboard(data);
}

void VQDropView::offerCopy(QDropEvent* event) const {
    if ((event->possibleActions() & Qt::CopyAction) && canRead(event->mimeData())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void VQDropView::dragEnterEvent(QDragEnterEvent* event) {
    offerCopy(event);
}
void VQDropView::dragMoveEvent(QDragMoveEvent* event) {
    offerCopy(event);
}

void VQDropView::dropEvent(QDropEvent* event) {
    if (!canRead(event->mimeData()) || !_delegate->respondsToReadDataFromPasteboard()) {
        event->ignore();
        return;
    }
    _delegate->readDataFromPasteboard(event->mimeData());
    event->setDropAction(Qt::CopyAction);
    event->accept();
}
