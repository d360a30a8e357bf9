#include "platform/graphics/ParallelRows.h"

#include <algorithm>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace graphics {

namespace {
// Below this many pixels per band, starting a thread costs more than it saves.
constexpr size_t kMinPixelsPerBand = 1 << 16;
} // namespace

void parallelRows(int rows, size_t pixelsPerRow, const std::function<void(int, int)>& fn) {
    if (rows <= 0) return;
    const size_t total = size_t(rows) * std::max<size_t>(pixelsPerRow, 1);
    const size_t hardware = std::max(1u, std::thread::hardware_concurrency());
    const size_t bands = std::min({hardware, size_t(rows), std::max<size_t>(1, total / kMinPixelsPerBand)});
    if (bands <= 1) {
        fn(0, rows);
        return;
    }

    std::exception_ptr failure;
    std::mutex failureLock;
    auto runBand = [&](size_t band) {
        const int first = int(size_t(rows) * band / bands);
        const int end = int(size_t(rows) * (band + 1) / bands);
        try {
            fn(first, end);
        } catch (...) {
            std::lock_guard lock(failureLock);
            if (!failure) failure = std::current_exception();
        }
    };

    std::vector<std::thread> threads;
    threads.reserve(bands - 1);
    try {
        for (size_t band = 1; band < bands; ++band) threads.emplace_back(runBand, band);
    } catch (...) {
        // No more threads to be had: the bands not started run here.
        for (size_t band = threads.size() + 1; band < bands; ++band) runBand(band);
    }
    runBand(0);
    for (std::thread& t : threads) t.join();
    if (failure) std::rethrow_exception(failure);
}

} // namespace graphics
