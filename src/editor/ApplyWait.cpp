#include "editor/ApplyWait.h"

void ApplyWait::signal(Result result) {
    {
        std::lock_guard lock(_mutex);
        if (_result) return;
        _result = result;
    }
    _signalled.notify_all();
    if (std::function<void(Result)> then = std::move(_then)) then(result);
}

ApplyWait::Result ApplyWait::wait() {
    std::unique_lock lock(_mutex);
    _signalled.wait(lock, [this] { return _result.has_value(); });
    return *_result;
}

bool ApplyWait::isSignalled() const {
    std::lock_guard lock(_mutex);
    return _result.has_value();
}

std::optional<ApplyWait::Result> ApplyWait::result() const {
    std::lock_guard lock(_mutex);
    return _result;
}
