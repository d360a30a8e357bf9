#pragma once

// A worker thread with a cancelled flag. cancel() only sets the flag; the running function polls
// Thread::current().isCancelled() (one atomic load, cheap enough per row) and returns early.
// The destructor joins, so a Thread is always joined by whoever owns it.

#include <atomic>
#include <functional>
#include <thread>

namespace foundation {

class Thread {
  public:
    // Starts fn on a new thread at once.
    explicit Thread(std::function<void()> fn);
    ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    void cancel();
    bool isCancelled() const { return cancelled_.load(std::memory_order_relaxed); }
    // Waits for the function to return. Joining from the thread itself, or twice, does nothing.
    void join();

    // The Thread running the caller. Threads not started here (the main thread among them) get a
    // stand-in of their own that is never cancelled.
    static Thread& current();

    // While it lives, the calling thread answers current() with owner: helpers that share out
    // owner's work see owner's cancelled flag.
    class Helping {
      public:
        explicit Helping(Thread& owner);
        ~Helping();
        Helping(const Helping&) = delete;
        Helping& operator=(const Helping&) = delete;

      private:
        Thread* previous_;
    };

  private:
    Thread() = default; // stand-in for a thread started elsewhere

    std::atomic<bool> cancelled_{false};
    bool adopted_ = true; // the stand-in ignores cancel()
    std::thread thread_;
};

} // namespace foundation
