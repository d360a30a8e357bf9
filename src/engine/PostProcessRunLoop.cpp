// One run of an effect: the whole-image paths and the per-pixel loop over the working image.
#include "engine/PostProcess.h"

#include "platform/foundation/MainQueue.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Thread.h"
#include "platform/graphics/ParallelRows.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <memory>
#include <thread>

namespace {

const char* const kEndProcess = "EndProcess";
const char* const kProcessCancelled = "ProcessCancelled";
const char* const kProcessFailed = "ProcessFailed";
const char* const kProgressChanged = "progressChanged";

// Visited columns of one work item: each row's segment spans many cache lines, and a 16-megapixel
// pass still has a few dozen items to share out.
constexpr int32_t kStripColumns = 128;

// 0 below 0, 255 above 1, else truncated; NaN is tested first, its conversion being undefined.
inline uint8_t toByte(float v) {
    if (v < 0.0f) return 0;
    if (v > 1.0f) return 255;
    if (v != v) return 0;
    return uint8_t(v * 255.0f);
}

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
    if (has_custom_process_function() || has_ci_process_function()) return process_whole_image(thread);
    process_pixels(thread);
    return nullptr;
}

graphics::ImagePtr PostProcess::process_whole_image(const foundation::Thread& thread) {
    if (!m_img) m_img = resultImageFromCurrentDataType(0);
    if (!m_img) {
        post_on_main_thread(kProcessFailed);
        return nullptr;
    }
    graphics::ImagePtr result = has_ci_process_function() ? ci_process_function() : custom_process_function();
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
    prepare_for_process();
    call_progress_callback();

    const uint64_t workload = passes() * (uint64_t(g_height) + uint64_t(g_width) * uint64_t(g_width));
    const float denominator = float(workload);
    uint8_t* output = nullptr;
    if (!m_preview_mode) {
        output = static_cast<uint8_t*>(std::malloc(size_t(g_width) * size_t(g_height) * 4));
        if (!output) {
            process_ended();
            m_preview_mode = false;
            m_precent.store(0, std::memory_order_relaxed);
            post_clean();
            post_on_main_thread(kProcessFailed);
            return;
        }
    }

    for (int32_t pass = 0; uint64_t(pass) < passes(); ++pass) {
        if (thread.isCancelled()) break;
        before_pass(pass);
        run_pass(thread, pass, output, denominator);
    }
    process_ended();

    bool installed = false;
    bool failed = false;
    if (!thread.isCancelled() && !m_preview_mode) {
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
        std::free(output);
        postHere(kProcessCancelled);
    } else {
        post_on_main_thread(kEndProcess);
    }
    post_clean();
}

// A pass visits vertical strips of columns, rows outer inside each strip, so that reads and writes
// run along rows, and hands the strips out in column order: to several threads when the effect's
// pixels are independent. The working image is only read here; the output (or preview buffer) is
// only written, so every pass sees the untouched source. Progress is what a column-by-column visit
// reports, posted by the run's own thread once every strip up to a column is done.
void PostProcess::run_pass(const foundation::Thread& thread, int32_t pass, uint8_t* output,
                           float denominator) {
    const int32_t sx = step_x;
    const int32_t columns = (g_width + sx - 1) / sx;
    const int32_t strips = (columns + kStripColumns - 1) / kStripColumns;
    const auto stripColumns = [&](int32_t s, int32_t& x0, int32_t& x1) {
        x0 = s * kStripColumns * sx;
        x1 = int32_t(std::min<int64_t>(int64_t(x0) + int64_t(kStripColumns) * sx, g_width));
    };
    const std::unique_ptr<std::atomic<bool>[]> done(new std::atomic<bool>[size_t(strips)]());
    std::atomic<int32_t> next{0};
    int32_t reported = 0;
    const std::thread::id runThread = std::this_thread::get_id();
    const auto report = [&] {
        for (; reported < strips && done[size_t(reported)].load(std::memory_order_acquire); ++reported) {
            int32_t x0, x1;
            stripColumns(reported, x0, x1);
            if (!m_preview_mode) report_columns(pass, x0, x1, denominator);
        }
    };
    const auto work = [&](int, int) {
        const bool reporter = std::this_thread::get_id() == runThread;
        for (int32_t s; (s = next.fetch_add(1, std::memory_order_relaxed)) < strips;) {
            int32_t x0, x1;
            stripColumns(s, x0, x1);
            if (!run_columns(thread, pass, output, x0, x1)) return;
            done[size_t(s)].store(true, std::memory_order_release);
            if (reporter) report();
        }
    };
    const int32_t threads =
        pixels_are_independent() ? std::min(strips, int32_t(graphics::parallelThreads())) : 1;
    graphics::parallelFor(threads, 1, work);
    if (!thread.isCancelled()) report();
    after_pass(pass);
}

// Columns x0 .. x1 of the pass, row by row. False when the run was cancelled: the flag is looked
// at after every pixel.
bool PostProcess::run_columns(const foundation::Thread& thread, int32_t pass, uint8_t* output, int32_t x0,
                              int32_t x1) {
    const size_t width = size_t(g_width);
    const int32_t height = g_height;
    const size_t bpp = size_t(g_bpp_dv);
    const uint8_t* source = gp_data;
    const int32_t sx = step_x;
    const int32_t sy = step_y;
    const bool preview = m_preview_mode;
    uint8_t* const previewBuffer = p_preview_buf;
    const size_t previewWidth = size_t(preview_w);

    for (int32_t y = 0; y < height; y += sy) {
        const uint8_t* alpha = source + size_t(y) * width * bpp;
        uint8_t* dst = preview ? previewBuffer + (size_t(y / sy) * previewWidth + size_t(x0 / sx)) * bpp
                               : output + (size_t(y) * width + size_t(x0)) * bpp;
        for (int32_t x = x0; x < x1; x += sx, dst += bpp) {
            const pixel_t p = process_pixel_x(x, y, pass);
            const uint8_t a = alpha[size_t(x) * bpp];
            dst[0] = a;
            dst[1] = a ? toByte(p.r) : 0;
            dst[2] = a ? toByte(p.g) : 0;
            dst[3] = a ? toByte(p.b) : 0;
            if (thread.isCancelled()) return false;
        }
    }
    return true;
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
