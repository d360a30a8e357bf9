#pragma once

// The main loop where no other event loop runs (tests, command-line tools): it holds what
// MainQueue::async and MainQueue::after hand over, and the main thread pumps it. One pass runs what
// was queued when the pass began and the delayed tasks due by then, then ends the pass; work queued
// during a pass runs on the next one.

#include "platform/foundation/MainQueue.h"

#include <functional>

namespace foundation {

class RunLoop {
  public:
    // One pass. Answers whether a task ran. Main thread only; elsewhere it does nothing.
    static bool runOnce();
    // Passes until predicate holds or timeout seconds have gone by, sleeping while nothing is due.
    // Answers the predicate's last value.
    static bool runUntil(const std::function<bool()>& predicate, double timeout);

  private:
    friend class MainQueue;
    static void enqueue(MainQueue::Task task);
    static void enqueueAfter(double seconds, MainQueue::Task task);
};

} // namespace foundation
