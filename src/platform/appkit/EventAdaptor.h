#pragma once
// Turns Qt's mouse, double-click, wheel, tablet, enter/leave and native gesture events into
// Event values in the receiving view's y-up coordinates. One adaptor per view: it remembers the
// click count of the last press so that the release and drags after a double click carry 2.
//
// Qt sends a double click as press, release, double-click, release; the double-click becomes a
// single press with click count 2. Moves without a button reach a view only with Qt's mouse
// tracking on. A view that takes tablet events must accept them, or Qt sends
// the same stroke again as mouse events.
#include "platform/appkit/Event.h"

#include <optional>

class QEvent;
class QWidget;

namespace appkit {

class EventAdaptor {
  public:
    // Nothing for events that are not input events of the kinds above.
    std::optional<Event> eventFrom(const QEvent& event, const QWidget& view);

  private:
    int clickCount_ = 1;
};

} // namespace appkit
