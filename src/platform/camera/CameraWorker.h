#pragma once
// The one thread that talks to a camera: jobs run one at a time, urgent ones (opening, listing,
// downloads) before background ones (thumbnails), each in the order given. Destruction drops what
// is queued and waits for the running job.
#include "platform/foundation/Thread.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

namespace camera {

class CameraWorker {
  public:
    using Job = std::function<void()>;

    CameraWorker();
    ~CameraWorker();
    CameraWorker(const CameraWorker&) = delete;
    CameraWorker& operator=(const CameraWorker&) = delete;

    void async(Job job);
    void asyncInBackground(Job job);

  private:
    void run();

    std::mutex _mutex;
    std::condition_variable _wake;
    std::deque<Job> _urgent, _background;
    std::atomic<bool> _cancelled{false};
    std::unique_ptr<foundation::Thread> _thread; // started last, when the rest is in place
};

} // namespace camera
