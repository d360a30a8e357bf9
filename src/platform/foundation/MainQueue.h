#pragma once

// The way onto the main thread. Workers hand work to it with async() (first in, first out, never
// waits) and delayed performs use after(). Each pass of the main loop ends with passDidEnd(), which
// observers such as the undo manager use to close what one event opened.
//
// By default the work goes to RunLoop, which tests pump by hand. A program with its own event loop
// installs a Dispatcher at start and calls passDidEnd() whenever its loop is about to wait.

#include <functional>
#include <memory>

namespace foundation {

class MainQueue {
  public:
    using Task = std::function<void()>;

    // Handle of a delayed task. cancel() drops the task (and what it holds) if it has not run yet.
    class DelayedTask {
      public:
        DelayedTask() = default;
        void cancel();

      private:
        friend class MainQueue;
        struct State;
        std::shared_ptr<State> state_;
    };

    class Dispatcher {
      public:
        virtual ~Dispatcher() = default;
        // Both may be called from any thread; the task must run later on the main thread.
        virtual void async(Task task) = 0;
        virtual void after(double seconds, Task task) = 0;
    };

    static void async(Task task);
    // Runs task on a later pass, no earlier than seconds from now (negative counts as 0).
    static DelayedTask after(double seconds, Task task);
    static bool isMainThread();

    // Null gives the work back to RunLoop. The dispatcher must outlive its installation.
    static void setDispatcher(Dispatcher* dispatcher);

    // Observers of the end of each main-loop pass, run on the main thread in registration order.
    static void addPassEndObserver(const void* owner, std::function<void()> observer);
    static void removePassEndObservers(const void* owner);
    static void passDidEnd();
};

} // namespace foundation
