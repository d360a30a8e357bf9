// The editor as a user meets it, offscreen, on a 15.9-megapixel JPEG written at start: opening it to
// the first frame of the image view, every catalogue thumbnail of it, choosing a look to its preview
// shown, a slider move to its preview shown, applying the three looks slowest to preview, and brush
// dabs to their redraw on the mask canvas. The benchmarks share one editor and run in this order;
// times are wall clock, "median_ms" and "max_ms" over the repetitions inside a benchmark, "load1"
// the machine's one-minute load when it started. The last entry reports VmHWM, the process's
// resident peak over the whole run.
#include "BenchApplication.h"
#include "BenchPhoto.h"
#include "controls/KXJRVSlider.h"
#include "editor/FilterToolbarViewController.h"
#include "editor/ImageOpening.h"
#include "editor/RivorezIduvivViewController.h"
#include "engine/PostProcess.h"
#include "engine/PostProcessesManager.h"
#include "imageview/CIMicroPaintView.h"
#include "imageview/DabWalk.h"
#include "imageview/KXImageView.h"
#include "platform/appkit/MainQueuePump.h"
#include "platform/foundation/UndoManager.h"
#include "platform/imageio/ImageDestination.h"

#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

using bench::application;
using bench::pumpUntil;
using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double loadAverage() {
    std::ifstream in("/proc/loadavg");
    double load = 0;
    in >> load;
    return load;
}

// Median and maximum of the times, and the load, as counters.
void report(benchmark::State& state, std::vector<double> times, double load) {
    if (times.empty()) return;
    std::sort(times.begin(), times.end());
    state.counters["median_ms"] = times[times.size() / 2];
    state.counters["max_ms"] = times.back();
    state.counters["load1"] = load;
}

// Counts the paint events a widget receives: a redraw has happened once the count moved.
struct PaintCounter : QObject {
    int paints = 0;
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

// The photo at a 16-megapixel camera's 4608 x 3456 (under the editor's 16,000,000-pixel cap, so
// the open does not resample it), with grain strong enough that the file is as large as a camera's
// (about 6 MB), as a JPEG at quality 0.9 in a temporary folder, written once with the image layer.
const std::string& jpegPath() {
    // Removed at exit with its folder.
    struct TemporaryPhoto {
        std::string folder, file;
        TemporaryPhoto() {
            std::string pattern =
                (std::filesystem::temp_directory_path() / "opalene-bench-interactive-XXXXXX").string();
            if (!mkdtemp(pattern.data())) std::abort();
            folder = pattern;
            file = folder + "/photo.jpg";
            auto destination = imageio::ImageDestination::createWithPath(file, "public.jpeg");
            if (!destination) std::abort();
            destination->addImage(bench::photoImage(4608, 3456, 4),
                                  {{imageio::kLossyCompressionQuality, 0.9}});
            if (!destination->finalize()) std::abort();
        }
        ~TemporaryPhoto() { std::filesystem::remove_all(folder); }
    };
    static const TemporaryPhoto photo;
    return photo.file;
}

// The one editor window, shown at a laptop's size, with the photo file ready.
struct Session {
    appkit::MainQueuePump mainQueue;
    foundation::UndoManager undo;
    RivorezIduvivViewController editor{&undo};
    std::map<std::string, double> previewTimes; // by look, from choosing it

    Session() {
        jpegPath();
        editor.window()->resize(1600, 1000);
        editor.window()->show();
        pumpUntil([] { return false; }, 1.0);
    }
    static Session& shared() {
        application();
        static Session session;
        return session;
    }
    PostProcessesManager& manager() { return PostProcessesManager::sharedPostProcessesManager(); }

    // The editor's open of the file; the time until the image view has painted it. `returned`
    // gets the time until the open call returned.
    double openToFirstFrame(double* returned = nullptr) {
        PaintCounter painted(editor.imageView());
        const auto start = Clock::now();
        editor.openImageURL(jpegPath());
        if (returned) *returned = msSince(start);
        if (editor.imageView()->image() == nullptr) return -1;
        if (!pumpUntil([&] { return painted.paints > 0; }, 10.0)) return -1;
        return msSince(start);
    }
    // The time until the image view holds the preview the action asks for.
    double toPreview(const std::function<void()>& action) {
        editor.imageView()->setPreviewImage(nullptr, false);
        const auto start = Clock::now();
        action();
        if (!pumpUntil([&] { return editor.imageView()->previewImage() != nullptr; }, 30.0)) return -1;
        return msSince(start);
    }
    double choose(PostProcess* look) {
        return toPreview([&] { editor.selectPostProcess(look); });
    }
    void ensureOpen() {
        if (!editor.imageView()->image()) openToFirstFrame();
    }
};

std::vector<PostProcess*> looks() {
    return PostProcessesManager::sharedPostProcessesManager().nonFrameProcesses();
}

// Counters beside the whole: "read_ms" the file's reading alone (decode and conversion to the
// working image, timed apart), "call_ms" the open call until it returned, both medians.
void BM_OpenToFirstFrame(benchmark::State& state) {
    Session& s = Session::shared();
    const double load = loadAverage();
    std::vector<double> times, reads, calls;
    for (auto _ : state) {
        double call = 0;
        const double ms = s.openToFirstFrame(&call);
        if (ms < 0) return state.SkipWithError("the photo did not open");
        times.push_back(ms);
        calls.push_back(call);
        state.SetIterationTime(ms / 1000);
        state.PauseTiming();
        const auto start = Clock::now();
        benchmark::DoNotOptimize(ImageOpening::readPhoto(jpegPath()).image);
        reads.push_back(msSince(start));
        state.ResumeTiming();
    }
    std::sort(reads.begin(), reads.end());
    std::sort(calls.begin(), calls.end());
    state.counters["read_ms"] = reads[reads.size() / 2];
    state.counters["call_ms"] = calls[calls.size() / 2];
    report(state, times, load);
}
BENCHMARK(BM_OpenToFirstFrame)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

// From the open's end until every catalogue look holds a thumbnail of the photo: the queue's limit
// raised to the whole catalogue, which is then queued in catalogue order. "slowest_ms" is the
// longest gap between two arrivals, and the label names the look that arrived after it.
void BM_AllThumbnails(benchmark::State& state) {
    Session& s = Session::shared();
    const double load = loadAverage();
    const std::vector<PostProcess*> all = looks();
    std::vector<double> times;
    double longest = 0;
    std::string slowest;
    for (auto _ : state) {
        if (s.openToFirstFrame() < 0) return state.SkipWithError("the photo did not open");
        const auto start = Clock::now();
        s.manager().setMaxCountEffects(all.size());
        for (PostProcess* look : all)
            s.manager().pushEffectForGenerating(look);
        // Each thumbnail's own time: from the one before it to its arrival.
        std::vector<bool> arrived(all.size());
        double previous = 0;
        const bool done = pumpUntil(
            [&] {
                bool every = true;
                for (size_t i = 0; i < all.size(); ++i) {
                    if (arrived[i]) continue;
                    if (!all[i]->previewImage()) {
                        every = false;
                        continue;
                    }
                    arrived[i] = true;
                    const double now = msSince(start);
                    if (now - previous > longest) longest = now - previous, slowest = all[i]->get_name();
                    if (std::getenv("OPALENE_BENCH_EACH"))
                        std::fprintf(stderr, "%8.1f ms  +%6.1f  %s\n", now, now - previous,
                                     all[i]->get_name().c_str());
                    previous = now;
                }
                return every;
            },
            60.0);
        if (!done) return state.SkipWithError("thumbnails missing after 60 s");
        const double ms = msSince(start);
        times.push_back(ms);
        state.SetIterationTime(ms / 1000);
    }
    state.counters["looks"] = double(all.size());
    state.counters["slowest_ms"] = longest;
    state.SetLabel("slowest: " + slowest);
    report(state, times, load);
}
BENCHMARK(BM_AllThumbnails)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

// Each catalogue look chosen in turn, as the browser chooses it; the label names the slowest.
void BM_LookToPreview(benchmark::State& state) {
    Session& s = Session::shared();
    s.ensureOpen();
    const double load = loadAverage();
    std::vector<double> times;
    for (auto _ : state) {
        for (PostProcess* look : looks()) {
            const double ms = s.choose(look);
            if (ms < 0) return state.SkipWithError(("no preview for " + look->get_name()).c_str());
            times.push_back(ms);
            s.previewTimes[look->get_name()] = ms;
            if (std::getenv("OPALENE_BENCH_EACH"))
                std::fprintf(stderr, "%8.1f ms  %s\n", ms, look->get_name().c_str());
        }
    }
    const auto slowest = std::max_element(s.previewTimes.begin(), s.previewTimes.end(),
                                          [](const auto& a, const auto& b) { return a.second < b.second; });
    state.SetLabel("slowest: " + slowest->first);
    report(state, times, load);
}
BENCHMARK(BM_LookToPreview)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

// For each look with a slider: chosen, then its first slider moved back and forth three times
// through the parameter toolbar, each move timed to its preview shown.
void BM_SliderToPreview(benchmark::State& state) {
    Session& s = Session::shared();
    s.ensureOpen();
    const double load = loadAverage();
    std::vector<double> times;
    for (auto _ : state) {
        for (PostProcess* look : looks()) {
            if (!look->param_1()) continue;
            if (s.choose(look) < 0)
                return state.SkipWithError(("no preview for " + look->get_name()).c_str());
            KXJRVSlider* slider = s.editor.filterToolbarController()->firstSlider();
            for (int move = 0; move < 3; ++move) {
                const double span = slider->maxValue() - slider->minValue();
                const double ms = s.toPreview([&] {
                    slider->setDoubleValue(slider->minValue() + span * (move % 2 ? 0.3 : 0.7));
                    emit slider->action(slider);
                });
                if (ms < 0)
                    return state.SkipWithError(("no preview after a move on " + look->get_name()).c_str());
                times.push_back(ms);
            }
        }
    }
    report(state, times, load);
}
BENCHMARK(BM_SliderToPreview)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

// The three looks slowest to preview (measured first when that benchmark was filtered out), each
// chosen and applied to the whole photo, then undone.
void BM_ApplySlowestLooks(benchmark::State& state) {
    Session& s = Session::shared();
    s.ensureOpen();
    if (s.previewTimes.empty())
        for (PostProcess* look : looks())
            s.previewTimes[look->get_name()] = s.choose(look);
    std::vector<std::pair<double, std::string>> ranked;
    for (const auto& [name, ms] : s.previewTimes)
        ranked.emplace_back(ms, name);
    std::sort(ranked.rbegin(), ranked.rend());
    ranked.resize(std::min<size_t>(3, ranked.size()));
    const double load = loadAverage();
    std::string label;
    for (auto _ : state) {
        for (size_t i = 0; i < ranked.size(); ++i) {
            PostProcess* look = s.manager().postProcessWithName(ranked[i].second);
            if (s.choose(look) < 0)
                return state.SkipWithError(("no preview for " + ranked[i].second).c_str());
            const auto start = Clock::now();
            if (s.editor.applyCurrentToolAndWait() != ApplyWait::Result::Applied)
                return state.SkipWithError(("apply failed: " + ranked[i].second).c_str());
            const double ms = msSince(start);
            state.counters["apply" + std::to_string(i + 1) + "_ms"] = ms;
            label += (label.empty() ? "" : ", ") + std::to_string(i + 1) + ": " + ranked[i].second;
            s.undo.undo();
            pumpUntil([] { return false; }, 0.2);
        }
    }
    state.counters["load1"] = load;
    state.SetLabel(label);
}
BENCHMARK(BM_ApplySlowestLooks)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

// Painter mode over the first look with the editor's brush: a stroke of 60 drag events a brush step
// apart (each stamps its dabs), each timed from the event to the canvas's repaint; "stamp_ms" is
// the median of the event's own handling, before the repaint.
void BM_DabToRedraw(benchmark::State& state) {
    Session& s = Session::shared();
    s.ensureOpen();
    if (s.choose(looks().front()) < 0) return state.SkipWithError("no preview");
    s.editor.buttonPaintClick();
    if (!pumpUntil([&] { return s.editor.painterView() != nullptr; }, 60.0))
        return state.SkipWithError("no mask canvas");
    pumpUntil([] { return false; }, 1.0); // the canvas's fade-in and first frames
    CIMicroPaintView& canvas = *s.editor.painterView();
    PaintCounter painted(&canvas);
    // A little over the brush's step, so that rounding never defers the event.
    const double step =
        DabWalk::step(DabWalk::radii(canvas.brushSize(), canvas.scale(), 1, canvas.brushSoftness()).outer) *
        canvas.scale() * 1.05;
    const double load = loadAverage();
    std::vector<double> times, stamps;
    for (auto _ : state) {
        const graphics::Point from{canvas.width() * 0.2, canvas.height() * 0.5};
        canvas.mouseDown(from, 1);
        pumpUntil([] { return false; }, 0.05);
        for (int i = 1; i <= 60; ++i) {
            const int before = painted.paints;
            const auto start = Clock::now();
            canvas.mouseDragged(graphics::Point{from.x + i * step, from.y}, 1);
            stamps.push_back(msSince(start));
            if (!pumpUntil([&] { return painted.paints > before; }, 5.0))
                return state.SkipWithError("no repaint after a dab");
            times.push_back(msSince(start));
        }
        canvas.mouseUp();
    }
    std::sort(stamps.begin(), stamps.end());
    state.counters["stamp_ms"] = stamps[stamps.size() / 2];
    report(state, times, load);
}
BENCHMARK(BM_DabToRedraw)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

// The process's resident peak (VmHWM) after everything above.
void BM_MemoryPeak(benchmark::State& state) {
    std::ifstream in("/proc/self/status");
    double kilobytes = 0;
    for (std::string line; std::getline(in, line);)
        if (line.rfind("VmHWM:", 0) == 0) kilobytes = std::atof(line.c_str() + 6);
    for (auto _ : state)
        benchmark::DoNotOptimize(kilobytes);
    state.counters["peak_MB"] = kilobytes / 1024;
}
BENCHMARK(BM_MemoryPeak)->Iterations(1);

} // namespace
