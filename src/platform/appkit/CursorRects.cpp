#include "platform/appkit/CursorRects.h"

#include "platform/appkit/Coordinates.h"

#include <QEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>

namespace appkit {

CursorRects::CursorRects(QWidget* view, std::function<void(CursorRects&)> resetCursorRects)
    : QObject(view), view_(view), reset_(std::move(resetCursorRects)) {
    view_->setMouseTracking(true);
    view_->installEventFilter(this);
}

void CursorRects::addCursorRect(const graphics::Rect& rect, const QCursor& cursor) {
    // An empty rectangle holds no point and never shows its cursor.
    if (!rect.isEmpty()) rects_.emplace_back(rect.standardized(), cursor);
}

void CursorRects::invalidate() {
    valid_ = false;
    if (rebuildQueued_) return;
    rebuildQueued_ = true;
    QTimer::singleShot(0, this, [this] {
        rebuildQueued_ = false;
        updateCursor();
    });
}

std::optional<QCursor> CursorRects::cursorAt(graphics::Point point) {
    rebuildIfNeeded();
    for (auto it = rects_.rbegin(); it != rects_.rend(); ++it)
        if (it->first.contains(point)) return it->second;
    return std::nullopt;
}

void CursorRects::rebuildIfNeeded() {
    if (valid_) return;
    valid_ = true;
    rects_.clear();
    if (reset_) reset_(*this);
}

void CursorRects::updateCursor() {
    if (!pointerInside_) {
        rebuildIfNeeded();
        return;
    }
    if (std::optional<QCursor> cursor = cursorAt(pointer_))
        view_->setCursor(*cursor);
    else
        view_->unsetCursor();
}

bool CursorRects::eventFilter(QObject* watched, QEvent* event) {
    if (watched != view_) return false;
    switch (event->type()) {
    case QEvent::Enter:
    case QEvent::MouseMove: {
        const auto* pointer = static_cast<QSinglePointEvent*>(event);
        pointerInside_ = true;
        pointer_ = toAppKit(pointer->position(), view_->height());
        // A drag keeps the cursor its view chose at the press.
        if (pointer->buttons() == Qt::NoButton) updateCursor();
        break;
    }
    case QEvent::Leave:
        pointerInside_ = false;
        break;
    case QEvent::Resize:
        invalidate();
        break;
    default:
        break;
    }
    return false;
}

} // namespace appkit
