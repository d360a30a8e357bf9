#include "platform/foundation/RunLoop.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

namespace foundation {

namespace {

using Clock = std::chrono::steady_clock;

struct Timer {
    Clock::time_point due;
    std::uint64_t order; // keeps equal deadlines first in, first out
    MainQueue::Task task;
};

struct LoopState {
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<MainQueue::Task> tasks;
    std::vector<Timer> timers;
    std::uint64_t nextOrder = 0;
};

LoopState& state() {
    static LoopState s;
    return s;
}

Clock::duration toDuration(double seconds) {
    // Past a year the exact deadline does not matter; the cap keeps the arithmetic in range.
    seconds = std::clamp(seconds, 0.0, 365.0 * 24 * 3600);
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

} // namespace

void RunLoop::enqueue(MainQueue::Task task) {
    LoopState& s = state();
    {
        std::lock_guard lock(s.mutex);
        s.tasks.push_back(std::move(task));
    }
    s.wake.notify_all();
}

void RunLoop::enqueueAfter(double seconds, MainQueue::Task task) {
    LoopState& s = state();
    {
        std::lock_guard lock(s.mutex);
        s.timers.push_back(Timer{Clock::now() + toDuration(seconds), s.nextOrder++, std::move(task)});
    }
    s.wake.notify_all();
}

bool RunLoop::runOnce() {
    if (!MainQueue::isMainThread()) return false;
    LoopState& s = state();
    std::deque<MainQueue::Task> tasks;
    std::vector<Timer> due;
    {
        std::lock_guard lock(s.mutex);
        tasks.swap(s.tasks);
        const Clock::time_point now = Clock::now();
        auto firstLater = std::stable_partition(s.timers.begin(), s.timers.end(),
                                                [&](const Timer& t) { return t.due <= now; });
        std::move(s.timers.begin(), firstLater, std::back_inserter(due));
        s.timers.erase(s.timers.begin(), firstLater);
    }
    std::sort(due.begin(), due.end(), [](const Timer& a, const Timer& b) {
        return a.due != b.due ? a.due < b.due : a.order < b.order;
    });
    for (auto& t : tasks)
        t();
    for (auto& t : due)
        t.task();
    MainQueue::passDidEnd();
    return !tasks.empty() || !due.empty();
}

bool RunLoop::runUntil(const std::function<bool()>& predicate, double timeout) {
    if (!MainQueue::isMainThread()) return predicate();
    const Clock::time_point deadline = Clock::now() + toDuration(timeout);
    LoopState& s = state();
    for (;;) {
        if (predicate()) return true;
        runOnce();
        if (predicate()) return true;
        if (Clock::now() >= deadline) return false;
        std::unique_lock lock(s.mutex);
        Clock::time_point until = deadline;
        for (const Timer& t : s.timers)
            until = std::min(until, t.due);
        s.wake.wait_until(lock, until, [&] { return !s.tasks.empty() || Clock::now() >= until; });
    }
}

} // namespace foundation
