#include "platform/camera/CameraWorker.h"

namespace camera {

CameraWorker::CameraWorker() {
    _thread = std::make_unique<foundation::Thread>([this] { run(); });
}

CameraWorker::~CameraWorker() {
    {
        std::lock_guard lock(_mutex);
        _cancelled = true;
        _urgent.clear();
        _background.clear();
    }
    _wake.notify_all();
    _thread->cancel();
    _thread->join();
}

void CameraWorker::async(Job job) {
    {
        std::lock_guard lock(_mutex);
        if (_cancelled) return;
        _urgent.push_back(std::move(job));
    }
    _wake.notify_one();
}

void CameraWorker::asyncInBackground(Job job) {
    {
        std::lock_guard lock(_mutex);
        if (_cancelled) return;
        _background.push_back(std::move(job));
    }
    _wake.notify_one();
}

void CameraWorker::run() {
    for (;;) {
        Job job;
        {
            std::unique_lock lock(_mutex);
            _wake.wait(lock, [this] { return _cancelled || !_urgent.empty() || !_background.empty(); });
            if (_cancelled) return;
            std::deque<Job>& queue = _urgent.empty() ? _background : _urgent;
            job = std::move(queue.front());
            queue.pop_front();
        }
        job();
    }
}

} // namespace camera
