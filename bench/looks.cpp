// One row per look on a 16-megapixel picture (4900 x 3265, the default settings of each look):
//   full_ms      median of five full-size runs, from preparation to the installed result
//   full_ms_MP   the same per megapixel
//   cpu_ms_MP    processor time of the whole process over the same full-size runs (median), per
//                megapixel: on a loaded machine the wall time of a threaded run says little
//   preview_ms   median of five preview runs at the default preview quality ("High")
//   thumb_ms     median of five thumbnail (small-preview) runs
//   peak_B_px    the memory the process held at the peak of a full-size run, over what it held
//                before the working image was made, in bytes per working-image pixel: resident
//                pages, so a buffer never touched or memory the allocator kept from an earlier run
//                is missed
//   heap_B_px    the same from the heap itself: every malloc, new and free of the program counted
//                (replaced below), at its peak during the run
// The working image is rebuilt from the same source, untimed, before every full-size run. Every
// look of every registered effect class but the frames is a row; a row without full size (the
// denoise looks take minutes there) gives 0 in full_ms and peak_B_px. The looks of the program's
// catalogue are labelled "(catalogue)". OPALENE_BENCH_THREADS=n pins the thread count of the
// whole-image passes (default: one per hardware thread).
#include "engine/LookRegistry.h"
#include "engine/PostProcess.h"
#include "engine/PostProcessesManager.h"
#include "platform/graphics/ParallelRows.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <sys/resource.h>

// The C library's own allocator, which the replacements below count and forward to. operator new
// and delete of the C++ library call malloc and free, so they are counted too.
extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);
void* __libc_valloc(size_t);
void* __libc_pvalloc(size_t);
void __libc_free(void*);
}

namespace {

std::atomic<int64_t> heapLive{0}, heapPeak{0};

void* counted(void* p) {
    if (!p) return p;
    const int64_t now = heapLive.fetch_add(int64_t(malloc_usable_size(p)), std::memory_order_relaxed) +
                        int64_t(malloc_usable_size(p));
    int64_t peak = heapPeak.load(std::memory_order_relaxed);
    while (now > peak && !heapPeak.compare_exchange_weak(peak, now, std::memory_order_relaxed)) {
    }
    return p;
}

void uncount(void* p) {
    if (p) heapLive.fetch_sub(int64_t(malloc_usable_size(p)), std::memory_order_relaxed);
}

} // namespace

extern "C" {
void* malloc(size_t n) {
    return counted(__libc_malloc(n));
}
void* calloc(size_t n, size_t size) {
    return counted(__libc_calloc(n, size));
}
void* realloc(void* p, size_t n) {
    uncount(p);
    void* q = __libc_realloc(p, n);
    // A failed realloc leaves the old block as it was.
    return q ? counted(q) : (n ? counted(p) : q);
}
void* memalign(size_t alignment, size_t n) {
    return counted(__libc_memalign(alignment, n));
}
void* aligned_alloc(size_t alignment, size_t n) {
    return counted(__libc_memalign(alignment, n));
}
int posix_memalign(void** out, size_t alignment, size_t n) {
    if (alignment < sizeof(void*) || (alignment & (alignment - 1))) return 22; // EINVAL
    void* p = counted(__libc_memalign(alignment, n));
    if (!p) return 12; // ENOMEM
    *out = p;
    return 0;
}
void* valloc(size_t n) {
    return counted(__libc_valloc(n));
}
void* pvalloc(size_t n) {
    return counted(__libc_pvalloc(n));
}
void free(void* p) {
    uncount(p);
    __libc_free(p);
}
}

namespace {

constexpr int kWidth = 4900, kHeight = 3265;
constexpr int kRuns = 5;

struct Look {
    std::string id; // class and type
    std::function<std::unique_ptr<PostProcess>()> make;
    bool fullSize = true;
};

// The catalogue's display names.
const std::set<std::string>& catalogueNames() {
    static const std::set<std::string> names = [] {
        std::set<std::string> out;
        for (const auto& entry : PostProcessesManager::catalogueEntries())
            out.insert(entry(0)->get_name());
        return out;
    }();
    return names;
}

// Classes whose looks are measured in preview only.
const std::set<std::string> kPreviewOnly = {"PP_Denoise"};

std::vector<Look> kLooks() {
    std::vector<Look> out;
    for (const LookClass& c : LookRegistry::classes())
        for (int32_t type = 0; type < c.variants && !(c.flags & kLookFrame); ++type)
            out.push_back({c.typeName + "/" + std::to_string(type), [&c, type] { return c.make(type, 0); },
                           !kPreviewOnly.count(c.typeName)});
    return out;
}

// Soft gradients, a few large shapes and grain.
const graphics::ImagePtr& source() {
    static const graphics::ImagePtr image = [] {
        std::vector<uint8_t> px(size_t(kWidth) * kHeight * 4);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                uint8_t* p = &px[(size_t(y) * kWidth + size_t(x)) * 4];
                const double u = double(x) / kWidth, v = double(y) / kHeight;
                const double disc = std::hypot(u - 0.4, v - 0.5) < 0.25 ? 1.0 : 0.0;
                const int grain = int((uint32_t(x) * 2654435761u ^ uint32_t(y) * 40503u) >> 28) - 8;
                const auto ch = [grain](double c) { return uint8_t(std::clamp(int(c) + grain, 0, 255)); };
                p[0] = ch(60 + 150 * u + 40 * disc);
                p[1] = ch(90 + 100 * std::sin(6 * v) * (1 - disc));
                p[2] = ch(200 - 120 * v + 30 * std::cos(9 * u));
                p[3] = 255;
            }
        return graphics::Image::copy(px.data(), kWidth, kHeight, size_t(kWidth) * 4, {});
    }();
    return image;
}

// Resident bytes now ("VmRSS") or at the peak since the last reset ("VmHWM").
double residentBytes(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word)
        if (word == std::string(key) + ":") {
            double kb = 0;
            status >> kb;
            return kb * 1024.0;
        }
    return 0.0;
}

void resetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Processor seconds of every thread of the process so far.
double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) * 1e-6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double secondsOf(const std::function<void()>& step) {
    const auto start = std::chrono::steady_clock::now();
    step();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void runLook(benchmark::State& state, const Look& look) {
    std::unique_ptr<PostProcess> effect = look.make();
    source();
    PostProcess::g_preview_quality = 2;
    std::vector<double> full, fullCpu, preview, thumb;
    double peak = 0.0, heap = 0.0;
    for (auto _ : state) {
        for (int i = 0; look.fullSize && i < kRuns; ++i) {
            PostProcess::global_clean();
            const double before = residentBytes("VmRSS");
            const int64_t heapBefore = heapLive.load();
            PostProcess::global_pre_init(source());
            effect->prepare(source());
            effect->set_silent_mode(true);
            resetPeak();
            heapPeak.store(heapLive.load());
            const double cpuBefore = cpuSeconds();
            full.push_back(secondsOf([&] { effect->process(); }));
            fullCpu.push_back(cpuSeconds() - cpuBefore);
            peak = std::max(peak, residentBytes("VmHWM") - before);
            heap = std::max(heap, double(heapPeak.load() - heapBefore));
        }
        PostProcess::global_clean();
        PostProcess::global_pre_init(source());
        for (bool small : {false, true})
            for (int i = 0; i < kRuns; ++i) {
                effect->prepare(source());
                effect->set_silent_mode(true);
                effect->set_preview_mode(true);
                effect->setIsSmallPreview(small);
                (small ? thumb : preview).push_back(secondsOf([&] { effect->process(); }));
            }
        effect->setIsSmallPreview(false);
        PostProcess::global_clean();
    }
    const double fullMs = full.empty() ? 0.0 : median(full) * 1000.0;
    state.counters["full_ms"] = fullMs;
    state.counters["full_ms_MP"] = fullMs / (double(kWidth) * kHeight / 1e6);
    state.counters["cpu_ms_MP"] =
        fullCpu.empty() ? 0.0 : median(fullCpu) * 1000.0 / (double(kWidth) * kHeight / 1e6);
    state.counters["preview_ms"] = median(preview) * 1000.0;
    state.counters["thumb_ms"] = median(thumb) * 1000.0;
    state.counters["peak_B_px"] = peak / (double(kWidth) * kHeight);
    state.counters["heap_B_px"] = heap / (double(kWidth) * kHeight);
    const std::string name = effect->get_name();
    state.SetLabel(catalogueNames().count(name) ? name + " (catalogue)" : name);
}

const bool registered = [] {
    if (const char* threads = std::getenv("OPALENE_BENCH_THREADS"))
        graphics::setParallelThreads(unsigned(std::max(0, std::atoi(threads))));
    for (const Look& l : kLooks())
        benchmark::RegisterBenchmark(("Look/" + l.id).c_str(), [l](benchmark::State& s) { runLook(s, l); })
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    return true;
}();

} // namespace
