#pragma once
// Hands foundation::MainQueue to Qt's event loop in a program: while a pump lives, async() and
// after() run their tasks on Qt's GUI thread in posting order, and the end of each pass of the
// main loop (Qt about to wait for events) is reported with MainQueue::passDidEnd(), which closes
// the undo manager's group of that event. Make one right after the QApplication, before anything
// is posted; destroying it gives the main queue back to foundation::RunLoop.
#include "platform/foundation/MainQueue.h"

#include <QMetaObject>

namespace appkit {

class MainQueuePump : private foundation::MainQueue::Dispatcher {
  public:
    MainQueuePump();
    ~MainQueuePump() override;
    MainQueuePump(const MainQueuePump&) = delete;
    MainQueuePump& operator=(const MainQueuePump&) = delete;

  private:
    void async(foundation::MainQueue::Task task) override;
    void after(double seconds, foundation::MainQueue::Task task) override;

    QMetaObject::Connection passEnd_;
};

} // namespace appkit
