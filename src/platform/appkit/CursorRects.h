#pragma once
// Cursor rectangles of one view: rectangles in the view's y-up coordinates, each with a cursor.
// The view's reset function adds them (addCursorRect) whenever they were invalidated; mouse
// moves over the view (not drags: the view sets its own cursor for those) pick the cursor of the last added
// rectangle holding the pointer, or the view's default cursor outside them all. Invalidation rebuilds them on
// the next pass of the event loop and updates the cursor at once if the pointer is inside; a resize
// invalidates too.
#include "platform/graphics/Point.h"
#include "platform/graphics/Rect.h"

#include <QCursor>
#include <QObject>
#include <functional>
#include <optional>
#include <vector>

class QWidget;

namespace appkit {

class CursorRects : public QObject {
  public:
    // Turns on the view's mouse tracking: cursors follow moves without a button held.
    CursorRects(QWidget* view, std::function<void(CursorRects&)> resetCursorRects);

    void addCursorRect(const graphics::Rect& rect, const QCursor& cursor);
    void invalidate();

    // The cursor the rectangles give at a point of the view (rebuilding them first if needed).
    std::optional<QCursor> cursorAt(graphics::Point point);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void rebuildIfNeeded();
    void updateCursor();

    QWidget* view_;
    std::function<void(CursorRects&)> reset_;
    std::vector<std::pair<graphics::Rect, QCursor>> rects_;
    bool valid_ = false;
    bool rebuildQueued_ = false;
    bool pointerInside_ = false;
    graphics::Point pointer_;
};

} // namespace appkit
