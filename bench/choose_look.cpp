// From choosing a look in the editor to its preview on screen, over every catalogue look on a
// 16-megapixel photo: the editor window offscreen, the choice made as the browser makes it, the
// time taken until the image view holds the new preview. Counters: median_ms and max_ms over the
// catalogue; the label names the slowest look. OPALENE_BENCH_EACH=1 prints each look's time.
#include "BenchApplication.h"
#include "LookBench.h"
#include "editor/RivorezIduvivViewController.h"
#include "engine/PostProcess.h"
#include "engine/PostProcessesManager.h"
#include "imageview/KXImageView.h"
#include "platform/appkit/MainQueuePump.h"
#include "platform/foundation/UndoManager.h"

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

using bench::application;
using bench::pumpUntil;

using Clock = std::chrono::steady_clock;

void ChooseLookToPreview(benchmark::State& state) {
    application();
    appkit::MainQueuePump mainQueue;
    foundation::UndoManager undo;
    RivorezIduvivViewController editor(&undo);
    editor.openNewImage(bench::lookSource(), "Bench");
    pumpUntil([] { return false; }, 2.0); // the strip's first thumbnails

    std::vector<PostProcess*> looks = PostProcessesManager::sharedPostProcessesManager().nonFrameProcesses();
    std::vector<double> times;
    std::string slowest;
    double longest = 0;
    for (auto _ : state) {
        for (PostProcess* look : looks) {
            editor.imageView()->setPreviewImage(nullptr, false);
            const auto start = Clock::now();
            editor.selectPostProcess(look);
            if (!pumpUntil([&] { return editor.imageView()->previewImage() != nullptr; }, 10.0)) {
                state.SkipWithError(("no preview for " + look->get_name()).c_str());
                return;
            }
            const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            times.push_back(ms);
            if (std::getenv("OPALENE_BENCH_EACH"))
                std::fprintf(stderr, "%8.1f ms  %s\n", ms, look->get_name().c_str());
            if (ms > longest) longest = ms, slowest = look->get_name();
        }
    }
    std::sort(times.begin(), times.end());
    state.counters["looks"] = double(looks.size());
    state.counters["median_ms"] = times[times.size() / 2];
    state.counters["max_ms"] = times.back();
    state.SetLabel("slowest: " + slowest);
}

BENCHMARK(ChooseLookToPreview)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace
