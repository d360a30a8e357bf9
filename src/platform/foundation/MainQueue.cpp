#include "platform/foundation/MainQueue.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"

#include <atomic>
#include <mutex>
#include <thread>

namespace foundation {

namespace {

// Static initialisation runs on the thread that starts the process.
const std::thread::id g_mainThread = std::this_thread::get_id();

std::atomic<MainQueue::Dispatcher*> g_dispatcher{nullptr};

const char* const kPassDidEnd = "RunLoopPassDidEnd";

// Pass observers reuse the notification center's snapshot delivery: an observer may remove
// itself or another while the pass end is delivered.
NotificationCenter& passCenter() {
    static NotificationCenter center;
    return center;
}

} // namespace

struct MainQueue::DelayedTask::State {
    std::mutex mutex;
    Task task;
};

void MainQueue::DelayedTask::cancel() {
    if (!state_) return;
    Task dropped;
    {
        std::lock_guard lock(state_->mutex);
        dropped = std::move(state_->task);
        state_->task = nullptr;
    }
}

void MainQueue::async(Task task) {
    if (Dispatcher* d = g_dispatcher.load())
        d->async(std::move(task));
    else
        RunLoop::enqueue(std::move(task));
}

MainQueue::DelayedTask MainQueue::after(double seconds, Task task) {
    DelayedTask handle;
    handle.state_ = std::make_shared<DelayedTask::State>();
    handle.state_->task = std::move(task);
    Task run = [state = handle.state_] {
        Task t;
        {
            std::lock_guard lock(state->mutex);
            t = std::move(state->task);
            state->task = nullptr;
        }
        if (t) t();
    };
    if (!(seconds > 0)) seconds = 0; // also catches NaN
    if (Dispatcher* d = g_dispatcher.load())
        d->after(seconds, std::move(run));
    else
        RunLoop::enqueueAfter(seconds, std::move(run));
    return handle;
}

bool MainQueue::isMainThread() {
    return std::this_thread::get_id() == g_mainThread;
}

void MainQueue::setDispatcher(Dispatcher* dispatcher) {
    g_dispatcher.store(dispatcher);
}

void MainQueue::addPassEndObserver(const void* owner, std::function<void()> observer) {
    passCenter().addObserver(owner, kPassDidEnd, nullptr,
                             [observer = std::move(observer)](const Notification&) { observer(); });
}

void MainQueue::removePassEndObservers(const void* owner) {
    passCenter().removeObserver(owner);
}

void MainQueue::passDidEnd() {
    passCenter().postNotificationName(kPassDidEnd);
}

} // namespace foundation
