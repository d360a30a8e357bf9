#include "kernels/parallel_for.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <system_error>
#include <thread>
#include <vector>

namespace {
std::atomic<unsigned> g_threads{0};
}

void kernel_set_threads(unsigned count) {
    g_threads.store(count, std::memory_order_relaxed);
}

unsigned kernel_threads() {
    const unsigned set = g_threads.load(std::memory_order_relaxed);
    if (set > 0) return set;
    return std::max(1u, std::thread::hardware_concurrency());
}

void kernel_parallel_for(int count, int min_items, const std::function<void(int, int)>& fn) {
    if (count <= 0) return;
    const int by_size = count / std::max(1, min_items);
    const int tasks = std::clamp(by_size, 1, int(std::min<unsigned>(kernel_threads(), unsigned(count))));
    if (tasks == 1) {
        fn(0, count);
        return;
    }
    const auto begin_of = [&](int t) { return int(int64_t(count) * t / tasks); };
    std::vector<std::thread> workers;
    workers.reserve(size_t(tasks - 1));
    for (int t = 1; t < tasks; ++t) {
        try {
            workers.emplace_back(fn, begin_of(t), begin_of(t + 1));
        } catch (const std::system_error&) {
            // No thread to be had: do the chunk here rather than leave it undone.
            fn(begin_of(t), begin_of(t + 1));
        }
    }
    fn(0, begin_of(1));
    for (auto& w : workers)
        w.join();
}
