#include "platform/foundation/Thread.h"

namespace foundation {

namespace {
thread_local Thread* t_current = nullptr;
}

Thread::Thread(std::function<void()> fn) : adopted_(false) {
    thread_ = std::thread([this, fn = std::move(fn)] {
        t_current = this;
        fn();
    });
}

Thread::~Thread() {
    join();
}

void Thread::cancel() {
    if (!adopted_) cancelled_.store(true, std::memory_order_relaxed);
}

void Thread::join() {
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

Thread& Thread::current() {
    if (t_current) return *t_current;
    thread_local Thread standIn;
    t_current = &standIn;
    return standIn;
}

Thread::Helping::Helping(Thread& owner) : previous_(t_current) {
    t_current = &owner;
}

Thread::Helping::~Helping() {
    t_current = previous_;
}

} // namespace foundation
