#pragma once
// One caller's wait for an apply the editor runs on the main thread. The editor signals it exactly
// once, at the end of the apply that was running (or not started) when the request reached the
// main thread; later signals are ignored, so no other render can release the caller early.
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>

class ApplyWait {
  public:
    enum class Result { Applied, Failed, Cancelled, NothingToApply };

    ApplyWait() = default;
    // A caller on the main thread that goes on when signalled instead of blocking.
    explicit ApplyWait(std::function<void(Result)> then) : _then(std::move(then)) {}

    // Any thread; only the first call counts.
    void signal(Result result);
    // Blocks until signalled and answers the result.
    Result wait();
    bool isSignalled() const;
    std::optional<Result> result() const;

  private:
    mutable std::mutex _mutex;
    std::condition_variable _signalled;
    std::optional<Result> _result;
    std::function<void(Result)> _then;
};
