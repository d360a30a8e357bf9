// How long a cancel keeps the main thread waiting: every catalogue look runs at full size on a
// 16-megapixel picture (4096 x 4096) on a worker, is cancelled a while into its run (delay_ms:
// during the preparation of the slow looks, whose blurs, denoising and textures come first), and
// the time from the cancel until the worker has ended is measured. That wait is what a preview
// restart or a cancel costs the interface. Goal: under 20 ms for every look.
//   cancel_ms   the longest of the runs' waits
//   ended_ms    how far into the run the cancel came (a look that ended before its cancel shows
//               its whole run here and 0 in cancel_ms)
#include "LookBench.h"

#include "engine/PostProcessesManager.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Thread.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void cancelLook(benchmark::State& state, size_t index, int delayMs) {
    const std::unique_ptr<PostProcess> effect =
        PostProcessesManager::catalogueEntries()[index](int32_t(index));
    effect->set_silent_mode(true);
    state.SetLabel(effect->get_name());
    double worst = 0.0, ranFor = 0.0;
    for (auto _ : state) {
        PostProcess::global_clean();
        PostProcess::global_pre_init(bench::lookSource());
        effect->prepare(bench::lookSource());
        std::atomic<bool> ended{false};
        const Clock::time_point start = Clock::now();
        foundation::Thread worker([&] {
            effect->process();
            ended = true;
        });
        while (!ended && msSince(start) < delayMs)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        ranFor = msSince(start);
        const Clock::time_point cancelled = Clock::now();
        worker.cancel();
        worker.join();
        const double waited = ended && ranFor < delayMs ? 0.0 : msSince(cancelled);
        state.SetIterationTime(waited / 1000.0);
        worst = std::max(worst, waited);
        // The run's notifications are queued for the main loop: drop them.
        while (foundation::RunLoop::runOnce()) {
        }
    }
    PostProcess::global_clean();
    state.counters["cancel_ms"] = worst;
    state.counters["ended_ms"] = ranFor;
}

const bool registered = [] {
    const size_t count = PostProcessesManager::catalogueEntries().size();
    for (const int delayMs : {30, 200})
        for (size_t i = 0; i < count; ++i)
            benchmark::RegisterBenchmark(
                ("Cancel/" + std::to_string(delayMs) + "ms/" + std::to_string(i)).c_str(),
                [i, delayMs](benchmark::State& s) { cancelLook(s, i, delayMs); })
                ->Iterations(2)
                ->Unit(benchmark::kMillisecond)
                ->UseManualTime();
    return true;
}();

} // namespace
