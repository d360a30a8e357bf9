// One run of an effect: the whole-image paths and the per-pixel loop over the working image.
#include "engine/PostProcess.h"

#include "platform/foundation/MainQueue.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Thread.h"
#include "platform/graphics/ParallelRows.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <thread>
#include <utility>

namespace {

const char* const kEndProcess = "EndProcess";
const char* const kProcessCancelled = "ProcessCancelled";
const char* const kProcessFailed = "ProcessFailed";
const char* const kProgressChanged = "progressChanged";

// Rows of one work item: enough items to share out among threads even in a preview, few enough
// that handing them out costs nothing, and full-size progress still moves every few rows.
constexpr int32_t kBandsWanted = 64;
constexpr int32_t kMaxBandRows = 16;

void postHere(const char* name) {
    foundation::NotificationCenter::defaultCenter().postNotificationName(name);
}

} // namespace

void PostProcess::post_on_main_thread(const char* name, foundation::Value userInfo) {
    if (m_run_id != 0) {
        if (userInfo.isNull()) userInfo = foundation::Dictionary{};
        userInfo.getDictionary()->emplace("RunID", m_run_id);
    }
    if (foundation::MainQueue::isMainThread()) {
        foundation::NotificationCenter::defaultCenter().postNotificationName(name, self_reference(),
                                                                             std::move(userInfo));
        return;
    }
    foundation::Dictionary info{{"name", name}, {"object", self_reference()}};
    if (!userInfo.isNull()) info.emplace("userInfo", std::move(userInfo));
    foundation::MainQueue::async([info = std::move(info)] { _postNotificationName(info); });
}

void PostProcess::call_progress_callback() {
    if (m_silent_mode) return;
    foundation::Value userInfo;
    if (m_run_id != 0) userInfo = foundation::Dictionary{{"RunID", m_run_id}};
    if (foundation::MainQueue::isMainThread()) {
        foundation::NotificationCenter::defaultCenter().postNotificationName(kProgressChanged, int64_t(0),
                                                                             std::move(userInfo));
        return;
    }
    foundation::Dictionary info{{"name", kProgressChanged}, {"object", get_complete_precent()}};
    if (!userInfo.isNull()) info.emplace("userInfo", std::move(userInfo));
    foundation::MainQueue::async([info = std::move(info)] { _postNotificationName(info); });
}

graphics::ImagePtr PostProcess::process(const foundation::Value& object) {
    std::lock_guard guard(m_pp_lock);
    m_run_id = object.getInt64().value_or(0);
    const foundation::Thread& thread = foundation::Thread::current();
    // A run cancelled before it got here must not touch the working image: the next run may
    // already own it.
    if (thread.isCancelled()) {
        m_img.reset();
        postHere(kProcessCancelled);
        return nullptr;
    }
    try {
        if (has_custom_process_function() || has_ci_process_function()) return process_whole_image(thread);
        process_pixels(thread);
    } catch (const std::bad_alloc&) {
        // Memory ran out where the paths below cannot tell: making the working image or
        // reporting the end. Nothing the run made was installed.
        m_img.reset();
        post_on_main_thread(kProcessFailed);
    }
    return nullptr;
}

graphics::ImagePtr PostProcess::process_whole_image(const foundation::Thread& thread) {
    if (!m_img) m_img = resultImageFromCurrentDataType(0);
    if (!m_img) {
        post_on_main_thread(kProcessFailed);
        return nullptr;
    }
    graphics::ImagePtr result;
    try {
        result = has_ci_process_function() ? ci_process_function() : custom_process_function();
    } catch (const std::bad_alloc&) {
        // Whatever the look made was freed on the way out; no result is no picture.
    }
    if (thread.isCancelled())
        postHere(kProcessCancelled);
    else if (!result)
        post_on_main_thread(kProcessFailed);
    else
        post_on_main_thread(
            kEndProcess, foundation::Dictionary{{"ResultImage", foundation::Value::object(result, "Image")}});
    m_img.reset();
    return result;
}

void PostProcess::process_pixels(const foundation::Thread& thread) {
    pre_init();
    if (!gp_data || (m_preview_mode && !p_preview_buf)) {
        post_clean();
        post_on_main_thread(kProcessFailed);
        return;
    }
    m_precent.store(0, std::memory_order_relaxed);
    m_prev_precent = -1;
    m_preparation_failed = false;
    // A thumbnail reads the working image averaged over its step, as a reduced copy of the picture
    // would hold it: sampled, a large photo's fine detail would show as stripes. The run's own
    // hooks read it through gp_data like any working image.
    struct SourceSwap {
        uint8_t* kept = nullptr;
        explicit SourceSwap(uint8_t* averaged) {
            if (averaged && averaged != gp_data) gp_sharp_data = kept = std::exchange(gp_data, averaged);
        }
        void restore() {
            if (kept) gp_data = std::exchange(kept, nullptr);
            gp_sharp_data = nullptr;
        }
        ~SourceSwap() { restore(); }
    } source(m_preview_mode && m_small_preview ? preview_source_data(step_x) : nullptr);
    try {
        prepare_for_process();
    } catch (const std::bad_alloc&) {
        m_preparation_failed = true;
    }
    // A preparation cut short by a cancel is a cancelled run, not a failed one.
    if (m_preparation_failed && !thread.isCancelled()) {
        process_ended();
        m_preview_mode = false;
        post_clean();
        post_on_main_thread(kProcessFailed);
        return;
    }
    call_progress_callback();

    const uint64_t workload = passes() * (uint64_t(g_height) + uint64_t(g_width) * uint64_t(g_width));
    const float denominator = float(workload);
    uint8_t* output = nullptr;
    const size_t outputBytes = size_t(g_width) * size_t(g_height) * 4;
    if (!m_preview_mode) {
        output = take_output_buffer(outputBytes);
        if (!output) {
            process_ended();
            m_preview_mode = false;
            m_precent.store(0, std::memory_order_relaxed);
            post_clean();
            post_on_main_thread(kProcessFailed);
            return;
        }
    }

    // Out of memory in a pass (its own buffers, or a hook's) leaves an output not to be used.
    bool failed = false;
    try {
        for (int32_t pass = 0; uint64_t(pass) < passes(); ++pass) {
            if (thread.isCancelled()) break;
            before_pass(pass);
            run_pass(thread, pass, output, denominator);
        }
    } catch (const std::bad_alloc&) {
        failed = true;
    }
    process_ended();
    source.restore();

    bool installed = false;
    if (!failed && !thread.isCancelled() && !m_preview_mode) {
        installed = updateContextForData(output);
        failed = !installed;
        if (installed) {
            m_precent.store(100, std::memory_order_relaxed);
            call_progress_callback();
        }
    }
    m_preview_mode = false;
    m_precent.store(0, std::memory_order_relaxed);

    // A cancel that comes after the output was installed is too late: the run reports its result.
    if (failed) {
        std::free(output);
        post_on_main_thread(kProcessFailed);
    } else if (thread.isCancelled() && !installed) {
        if (output) keep_spare(output, outputBytes);
        postHere(kProcessCancelled);
    } else {
        post_on_main_thread(kEndProcess);
    }
    post_clean();
}

// A pass visits bands of rows in order, each row left to right, so that reads and writes run along
// memory: to several threads when the effect's pixels are independent. The working image is only
// read here; the output (or preview buffer) is only written, so every pass sees the untouched
// source. Progress is what a column-by-column visit reports, in the same sequence: once the bands
// up to a row are done, the run's own thread posts what that visit reports up to the column that
// stands for the same share of the pass.
void PostProcess::run_pass(const foundation::Thread& thread, int32_t pass, uint8_t* output,
                           float denominator) {
    ChannelLevels levelTable;
    const ChannelLevels* const levels = channel_levels(levelTable) ? &levelTable : nullptr;
    const int32_t rows = (g_height + step_y - 1) / step_y;
    const int32_t bandRows = std::clamp(rows / kBandsWanted, 1, kMaxBandRows);
    const int32_t bands = (rows + bandRows - 1) / bandRows;
    const std::unique_ptr<std::atomic<bool>[]> done(new std::atomic<bool>[size_t(bands)]());
    std::atomic<int32_t> next{0};
    int32_t reportedBands = 0;
    int32_t reportedX = 0;
    const auto reportUpTo = [&](int32_t x) {
        if (!m_preview_mode && x > reportedX) report_columns(pass, reportedX, x, denominator);
        reportedX = std::max(reportedX, x);
    };
    const std::thread::id runThread = std::this_thread::get_id();
    const auto report = [&] {
        const int32_t before = reportedBands;
        while (reportedBands < bands && done[size_t(reportedBands)].load(std::memory_order_acquire))
            ++reportedBands;
        if (reportedBands == before) return;
        const int64_t rowsDone = std::min<int64_t>(int64_t(reportedBands) * bandRows, rows);
        reportUpTo(int32_t(int64_t(g_width) * rowsDone / rows));
    };
    const auto work = [&](int, int) {
        const bool reporter = std::this_thread::get_id() == runThread;
        for (int32_t b; (b = next.fetch_add(1, std::memory_order_relaxed)) < bands;) {
            const int32_t first = b * bandRows;
            if (!run_rows(thread, pass, output, levels, first, std::min(first + bandRows, rows))) return;
            done[size_t(b)].store(true, std::memory_order_release);
            if (reporter) report();
        }
    };
    const int32_t threads =
        pixels_are_independent() ? std::min(bands, int32_t(graphics::parallelThreads())) : 1;
    graphics::parallelFor(threads, 1, work);
    if (!thread.isCancelled()) {
        report();
        reportUpTo(g_width);
    }
    after_pass(pass);
}

// Visited rows first .. end - 1 of the pass (row i is y = i x step_y), through the levels where the
// effect gave them. False when the run was cancelled.
bool PostProcess::run_rows(const foundation::Thread& thread, int32_t pass, uint8_t* output,
                           const ChannelLevels* levels, int32_t first, int32_t end) {
    const size_t bpp = size_t(g_bpp_dv);
    for (int32_t row = first; row < end; ++row) {
        const int32_t y = row * step_y;
        uint8_t* dst = m_preview_mode ? p_preview_buf + size_t(row) * size_t(preview_w) * bpp
                                      : output + size_t(y) * size_t(g_width) * bpp;
        if (!(levels ? write_level_row(thread, y, dst, *levels) : process_row(thread, y, pass, dst)))
            return false;
    }
    return true;
}

// process_row's bytes for an effect that gave its levels, without a float per channel or a branch
// per pixel: the alpha byte copied, the colour looked up and kept where that byte is not 0.
bool PostProcess::write_level_row(const foundation::Thread& thread, int32_t y, uint8_t* dst,
                                  const ChannelLevels& levels) {
    static_assert(std::endian::native == std::endian::little, "pixels are stored as little-endian words");
    const uint8_t* src = gp_data + size_t(y) * size_t(g_width) * 4;
    const size_t stride = size_t(step_x) * 4;
    const int32_t n = (g_width + step_x - 1) / step_x;
    for (int32_t first = 0; first < n; first += kRowChunk) {
        const int32_t end = std::min(n, first + kRowChunk);
        for (int32_t i = first; i < end; ++i) {
            uint32_t s;
            std::memcpy(&s, src + size_t(i) * stride, 4);
            const uint32_t alpha = s & 0xffu;
            const uint32_t keep = 0u - uint32_t(alpha != 0);
            const uint32_t colour = levels.word[0][(s >> 8) & 0xffu] | levels.word[1][(s >> 16) & 0xffu] |
                                    levels.word[2][s >> 24];
            const uint32_t word = alpha | (colour & keep);
            std::memcpy(dst + size_t(i) * 4, &word, 4);
        }
        if (thread.isCancelled()) return false;
    }
    return true;
}

bool PostProcess::process_row(const foundation::Thread& thread, int32_t y, int32_t pass, uint8_t* dst) {
    return write_row(thread, y, pass, dst,
                     [this](int32_t x, int32_t y, int32_t pass) { return process_pixel_x(x, y, pass); });
}

// Four pixels at a time (one SSE register a channel) in compiler vector types: written as a plain loop, the
// clamping selects stay branches and nothing is vectorised.
void PostProcess::store_pixels(float* r, float* g, float* b, int32_t n, const uint8_t* alpha,
                               size_t alpha_stride, uint8_t* dst) {
    constexpr int lanes = 4;
    typedef float floatv __attribute__((vector_size(4 * lanes)));
    typedef int32_t intv __attribute__((vector_size(4 * lanes)));
    typedef uint32_t wordv __attribute__((vector_size(4 * lanes)));
    static_assert(kRowChunk % lanes == 0);
    static_assert(std::endian::native == std::endian::little, "pixels are stored as little-endian words");
    const int32_t padded = (n + lanes - 1) / lanes * lanes;
    uint32_t words[kRowChunk];
    for (int32_t i = 0; i < padded; ++i)
        words[i] = i < n ? alpha[size_t(i) * alpha_stride] : 0;
    std::fill(r + n, r + padded, 0.0f);
    std::fill(g + n, g + padded, 0.0f);
    std::fill(b + n, b + padded, 0.0f);
    for (int32_t i = 0; i < padded; i += lanes) {
        wordv pixel;
        std::memcpy(&pixel, words + i, sizeof pixel);
        const wordv none = {};
        const wordv keep = pixel != none ? ~none : none;
        const float* const channels[3] = {r + i, g + i, b + i};
        for (int c = 0; c < 3; ++c) {
            floatv v;
            std::memcpy(&v, channels[c], sizeof v);
            const floatv zero = {}, one = zero + 1.0f;
            const floatv low = zero < v ? v : zero; // NaN fails the test
            const floatv clamped = low < one ? low : one;
            const wordv byte =
                __builtin_convertvector(__builtin_convertvector(clamped * 255.0f, intv), wordv);
            pixel |= (byte & keep) << (8 * (c + 1));
        }
        std::memcpy(words + i, &pixel, sizeof pixel);
    }
    std::memcpy(dst, words, size_t(n) * 4);
}

// What a full-size pass visiting column by column reports at the pixels (x, y) of columns x0 .. x1
// with x % 10 == 0 and y % 100 == 0, in its order.
void PostProcess::report_columns(int32_t pass, int32_t x0, int32_t x1, float denominator) {
    const int64_t width = g_width;
    const int64_t passFactor = int64_t(pass) + 1;
    for (int32_t x = (x0 + 9) / 10 * 10; x < x1; x += 10)
        for (int32_t y = 0; y < g_height; y += 100) {
            const float done = float((width * x + y) * passFactor);
            const int64_t percent = int64_t(done / denominator * 100.0f);
            m_precent.store(percent, std::memory_order_relaxed);
            if (percent > m_prev_precent) {
                m_prev_precent = percent;
                call_progress_callback();
            }
        }
}
