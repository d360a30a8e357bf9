#include "platform/graphics/ParallelRows.h"

#include "platform/foundation/Thread.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace graphics {

namespace {
std::atomic<unsigned> g_threads{0};

// Below this many pixels per band, starting a thread costs more than it saves.
constexpr size_t kMinPixelsPerBand = 1 << 16;
} // namespace

void setParallelThreads(unsigned count) {
    g_threads.store(count, std::memory_order_relaxed);
}

unsigned parallelThreads() {
    const unsigned set = g_threads.load(std::memory_order_relaxed);
    return set > 0 ? set : std::max(1u, std::thread::hardware_concurrency());
}

bool workCancelled() {
    return foundation::Thread::current().isCancelled();
}

void parallelFor(int count, int minItems, const std::function<void(int, int)>& fn) {
    if (count <= 0) return;
    foundation::Thread& owner = foundation::Thread::current();
    const int bySize = count / std::max(1, minItems);
    const int tasks = std::clamp(bySize, 1, int(std::min<unsigned>(parallelThreads(), unsigned(count))));
    if (tasks == 1) {
        fn(0, count);
        return;
    }

    std::exception_ptr failure;
    std::mutex failureLock;
    auto runChunk = [&](int t) {
        const int begin = int(int64_t(count) * t / tasks);
        const int end = int(int64_t(count) * (t + 1) / tasks);
        const foundation::Thread::Helping helping(owner);
        try {
            fn(begin, end);
        } catch (...) {
            std::lock_guard lock(failureLock);
            if (!failure) failure = std::current_exception();
        }
    };

    std::vector<std::thread> threads;
    threads.reserve(size_t(tasks - 1));
    try {
        for (int t = 1; t < tasks; ++t)
            threads.emplace_back(runChunk, t);
    } catch (...) {
        // No more threads to be had: the chunks not started run here.
        for (int t = int(threads.size()) + 1; t < tasks; ++t)
            runChunk(t);
    }
    runChunk(0);
    for (std::thread& t : threads)
        t.join();
    if (failure) std::rethrow_exception(failure);
}

void parallelRows(int rows, size_t pixelsPerRow, const std::function<void(int, int)>& fn) {
    const size_t perRow = std::max<size_t>(pixelsPerRow, 1);
    const size_t minRows = std::max<size_t>(1, (kMinPixelsPerBand + perRow - 1) / perRow);
    parallelFor(rows, int(std::min<size_t>(minRows, size_t(INT32_MAX))), fn);
}

} // namespace graphics
