// The browser's thumbnails of every catalogue look on a 16-megapixel photo, each made right after
// a full-size render of another look, as the look sheet and an editor that renders between its
// thumbnails run them. Only the thumbnails are timed: "thumb_ms" is the mean of one, "all_ms" the
// sum over the catalogue. Argument 1 drops the working image after each render, as callers had to
// before the manager took the photo's pixels back from it: the cost of drawing the photo again.
#include "engine/PostProcess.h"
#include "engine/PostProcessesManager.h"
#include "engine/PostProcessesManagerDelegate.h"
#include "platform/foundation/RunLoop.h"

#include "BenchPhoto.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>

namespace {

struct Delegate : PostProcessesManagerDelegate {
    bool finished = false;
    void finishPostProcess(PostProcessesManager&, PostProcess*, graphics::ImagePtr, graphics::ImagePtr,
                           bool) override {
        finished = true;
    }
    PostProcess* currentFrameEffect() override { return nullptr; }
    double frameParametr() override { return 0; }
    foundation::UndoManager* undoManager() override { return nullptr; }
};

void BM_CatalogueThumbnailsAfterFullRender(benchmark::State& state) {
    PostProcess::g_preview_quality = 2;
    PostProcessesManager manager(PostProcessesManager::catalogueEntries());
    manager.setOriginalImage(bench::photoImage(4608, 3456));
    // A cheap look for the renders in between: what they cost is not measured.
    PostProcess* render = manager.postProcessWithName("Warm Yellow");
    double seconds = 0;
    int thumbnails = 0;
    for (auto _ : state) {
        for (const auto& entry : manager.postProcesses()) {
            PostProcess* look = entry.get();
            Delegate delegate;
            manager.generateImageForPostProcess(render, false, &delegate);
            foundation::RunLoop::runUntil([&] { return delegate.finished; }, 120);
            manager.cancelGeneratingImage();
            if (state.range(0)) PostProcess::global_clean();

            look->setPreviewImage(nullptr);
            const auto start = std::chrono::steady_clock::now();
            manager.pushEffectForGenerating(look);
            foundation::RunLoop::runUntil([&] { return look->previewImage() != nullptr; }, 120);
            seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            ++thumbnails;
        }
    }
    state.counters["thumb_ms"] = seconds * 1000.0 / thumbnails;
    state.counters["all_ms"] = seconds * 1000.0 / double(state.iterations());
    state.SetLabel(state.range(0) ? "working image drawn again" : "working image kept");
}
BENCHMARK(BM_CatalogueThumbnailsAfterFullRender)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

} // namespace
