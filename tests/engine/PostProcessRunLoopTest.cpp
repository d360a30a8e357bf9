// One effect run: byte conversion, preview sampling, progress, the three ends and cancellation.
#include "engine/LevelRows.h"
#include "engine/PostProcess.h"

#include "support/ScopedValue.h"
#include "support/StubEffects.h"

#include "platform/foundation/RunLoop.h"
#include "platform/graphics/ParallelRows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <thread>

namespace {

using foundation::RunLoop;
using foundation::Thread;

// Runs the effect on a worker to its end, then delivers what it handed to the main thread.
void runOnWorker(PostProcess& effect, const RunRecorder& recorder) {
    {
        Thread worker([&] { effect.process(); });
    }
    ASSERT_TRUE(RunLoop::runUntil([&] { return recorder.ends() >= 1; }, 10));
    RunLoop::runOnce();
}

std::vector<uint8_t> workingBytes() {
    return {PostProcess::gp_data, PostProcess::gp_data + size_t(PostProcess::g_bypr) * PostProcess::g_height};
}

// Waits (bounded) until pred holds, without pumping the main loop.
bool waitFor(const std::function<bool()>& pred) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!pred()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::yield();
    }
    return true;
}

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

TEST(PostProcessRun, ChannelsBecomeBytesAndUnmarkedPixelsStayBlack) {
    struct Case {
        pixel_t value;
        uint8_t r, g, b;
    };
    const std::vector<Case> cases = {
        {{1.5f, -0.2f, 0.999f}, 255, 0, 254},  {{kNaN, 0.5f, 1.0f}, 0, 127, 255},
        {{kInf, -kInf, 0.0f}, 255, 0, 0},      {{-0.0f, 0.2f, 0.8f}, 0, 51, 204},
        {{-kNaN, 1.0001f, 0.6f}, 0, 255, 153},
    };
    WorkingImageGuard guard;
    const int n = int(cases.size());
    StubPixelEffect effect;
    effect.prepare(makeSourceImage(n, 2, patternColour));
    ASSERT_TRUE(PostProcess::global_pre_init(effect.source()));
    PostProcess::gp_data[(n + 1) * 4] = 0; // pixel (1, 1): nothing was drawn there
    effect.pixel = [&](int32_t x, int32_t, int32_t) { return cases[size_t(x)].value; };
    effect.set_silent_mode(true);

    RunRecorder recorder;
    EXPECT_EQ(effect.process(), nullptr);
    ASSERT_EQ(recorder.named("EndProcess").size(), 1u);

    ASSERT_EQ(PostProcess::g_width, n);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < n; ++x) {
            SCOPED_TRACE("pixel " + std::to_string(x) + "," + std::to_string(y));
            const uint8_t* p = PostProcess::gp_data + (y * n + x) * 4;
            if (x == 1 && y == 1) {
                EXPECT_EQ(p[0] | p[1] | p[2] | p[3], 0);
                continue;
            }
            EXPECT_EQ(p[0], 255);
            EXPECT_EQ(p[1], cases[size_t(x)].r);
            EXPECT_EQ(p[2], cases[size_t(x)].g);
            EXPECT_EQ(p[3], cases[size_t(x)].b);
        }
    EXPECT_EQ(effect.source(), nullptr);
}

// Every level's value and its float neighbours, values between levels and out of range, over rows
// whose length is no multiple of the run's chunks, with unmarked pixels scattered among them: the
// bytes are those of the formula, 0 below 0 and for NaN, 255 above 1, else trunc(v x 255) in single
// precision.
TEST(PostProcessRun, EveryValueBecomesTheByteOfTheFormula) {
    std::vector<float> values;
    for (int level = 0; level <= 255; ++level) {
        const float v = float(level) / 255.0f;
        values.insert(values.end(),
                      {std::nextafter(v, -1.0f), v, std::nextafter(v, 2.0f), v + 0.5f / 255.0f});
    }
    values.insert(values.end(), {-1e30f, 1e30f, kNaN, kInf, -kInf, 2.0f, -0.0f});
    const auto byteOf = [](float v) {
        if (!(v > 0.0f)) return 0;
        if (v > 1.0f) return 255;
        return int(v * 255.0f);
    };
    const int w = 1031, h = 3, n = int(values.size());
    WorkingImageGuard guard;
    StubPixelEffect effect;
    effect.prepare(makeSourceImage(w, h, patternColour));
    ASSERT_TRUE(PostProcess::global_pre_init(effect.source()));
    for (int i = 0; i < w * h; i += 97)
        PostProcess::gp_data[size_t(i) * 4] = 0;
    const std::vector<uint8_t> alpha = [&] {
        std::vector<uint8_t> a(size_t(w) * h);
        for (size_t i = 0; i < a.size(); ++i)
            a[i] = PostProcess::gp_data[i * 4];
        return a;
    }();
    const auto valueAt = [&](int x, int y, int c) {
        return values[size_t(x * 3 + y * 5 + c * 7) % size_t(n)];
    };
    effect.pixel = [&](int32_t x, int32_t y, int32_t) {
        return pixel_t{valueAt(x, y, 0), valueAt(x, y, 1), valueAt(x, y, 2)};
    };
    effect.set_silent_mode(true);
    RunRecorder recorder;
    effect.process();
    ASSERT_EQ(recorder.named("EndProcess").size(), 1u);
    int wrong = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint8_t* p = PostProcess::gp_data + (size_t(y) * w + x) * 4;
            const uint8_t a = alpha[size_t(y) * w + x];
            wrong += p[0] != a;
            for (int c = 0; c < 3; ++c)
                wrong += p[1 + c] != (a ? byteOf(valueAt(x, y, c)) : 0);
        }
    EXPECT_EQ(wrong, 0);
}

// A full-size run writes into the working image the run before replaced, and rewrites all of it.
TEST(PostProcessRun, FullSizeRunsWriteIntoTheImageTheRunBeforeReplaced) {
    WorkingImageGuard guard;
    StubPixelEffect effect;
    effect.set_silent_mode(true);
    effect.prepare(makeSourceImage(37, 23, patternColour));
    ASSERT_TRUE(PostProcess::global_pre_init(effect.source()));
    uint8_t* const first = PostProcess::gp_data;
    const pixel_t colours[] = {{1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 1.0f}};
    for (int run = 0; run < 3; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        effect.pixel = [&](int32_t, int32_t, int32_t) { return colours[run]; };
        uint8_t* const replaced = PostProcess::gp_data;
        RunRecorder recorder;
        effect.process();
        ASSERT_EQ(recorder.named("EndProcess").size(), 1u);
        EXPECT_NE(PostProcess::gp_data, replaced);
        if (run == 1) EXPECT_EQ(PostProcess::gp_data, first);
        const std::vector<uint8_t> bytes = workingBytes();
        for (size_t i = 0; i < bytes.size(); i += 4) {
            const uint8_t expected[4] = {255, uint8_t(colours[run].r * 255), uint8_t(colours[run].g * 255),
                                         uint8_t(colours[run].b * 255)};
            ASSERT_EQ(std::memcmp(&bytes[i], expected, 4), 0) << "pixel " << i / 4;
        }
    }
}

TEST(PostProcessRun, PreviewVisitsEveryStepOnceAndWritesItsPreviewPixel) {
    for (bool small : {true, false}) {
        SCOPED_TRACE(small ? "small preview" : "preview");
        WorkingImageGuard guard;
        const ScopedValue<int32_t> quality(PostProcess::g_preview_quality, 1);
        StubPixelEffect effect;
        effect.prepare(makeSourceImage(1400, 1400, patternColour));
        ASSERT_TRUE(PostProcess::global_pre_init(effect.source()));
        const int step = small ? PostProcess::g_small_preview_step_x : PostProcess::g_preview_step_x;
        const int w = small ? PostProcess::g_small_preview_w : PostProcess::g_preview_w;
        uint8_t* target = small ? PostProcess::gp_small_preview_buf : PostProcess::gp_preview_buf;
        if (small) {
            ASSERT_EQ(step, 3);
        }
        std::memset(target, 0xEE, size_t(w) * w * 4);
        const std::vector<uint8_t> before = workingBytes();

        std::vector<int> visits(1400 * 1400);
        // (k + 0.5) / 255 truncates back to k.
        const auto value = [](int k) { return (float(k % 256) + 0.5f) / 255.0f; };
        effect.pixel = [&](int32_t x, int32_t y, int32_t) {
            ++visits[size_t(y) * 1400 + size_t(x)];
            return pixel_t{value(x), value(y), value(x + y)};
        };
        effect.set_preview_mode(true);
        effect.setIsSmallPreview(small);
        effect.set_silent_mode(true);
        RunRecorder recorder;
        effect.process();
        EXPECT_EQ(recorder.named("EndProcess").size(), 1u);
        EXPECT_FALSE(effect.previewMode());

        int wrong = 0;
        for (int y = 0; y < 1400; ++y)
            for (int x = 0; x < 1400; ++x) {
                const bool sampled = x % step == 0 && y % step == 0;
                wrong += visits[size_t(y) * 1400 + size_t(x)] != (sampled ? 1 : 0);
                if (!sampled) continue;
                const uint8_t* p = target + (size_t(y / step) * size_t(w) + size_t(x / step)) * 4;
                wrong += p[0] != 255 || p[1] != x % 256 || p[2] != y % 256 || p[3] != (x + y) % 256;
            }
        EXPECT_EQ(wrong, 0);
        EXPECT_EQ((1399 / step) + 1, w); // the last visited column is the last preview column
        EXPECT_TRUE(workingBytes() == before);
    }
}

// A thumbnail's samples stand for their whole block: stripes finer than the step come out as their
// mean, not as stripes of their own; a preview still samples the picture itself. Only while the
// run lasts: the working image is the picture again afterwards.
TEST(PostProcessRun, ThumbnailsReadThePictureAveragedOverTheirStep) {
    for (bool small : {true, false}) {
        SCOPED_TRACE(small ? "small preview" : "preview");
        WorkingImageGuard guard;
        PostProcess::g_preview_quality = 0;
        StubPixelEffect effect;
        // One-pixel stripes across, two-pixel stripes down the blue channel.
        effect.prepare(makeSourceImage(1400, 1400, [](int x, int y) {
            return Rgb{uint8_t(x % 2 ? 200 : 20), 90, uint8_t((y / 2) % 2 ? 250 : 10)};
        }));
        ASSERT_TRUE(PostProcess::global_pre_init(effect.source()));
        const int step = small ? PostProcess::g_small_preview_step_x : PostProcess::g_preview_step_x;
        const int w = small ? PostProcess::g_small_preview_w : PostProcess::g_preview_w;
        const int h = small ? PostProcess::g_small_preview_h : PostProcess::g_preview_h;
        ASSERT_EQ(step, small ? 3 : 2);
        const uint8_t* picture = PostProcess::gp_data;
        effect.pixel = [](int32_t x, int32_t y, int32_t) { return PostProcess::get_source_pixel(x, y); };
        effect.set_preview_mode(true);
        effect.setIsSmallPreview(small);
        effect.set_silent_mode(true);
        effect.process();
        EXPECT_EQ(PostProcess::gp_data, picture);
        EXPECT_EQ(PostProcess::sharp_data(), picture);

        const uint8_t* target = small ? PostProcess::gp_small_preview_buf : PostProcess::gp_preview_buf;
        int wrong = 0;
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i) {
                const int x = i * step, y = j * step;
                const int x1 = std::min(1400, x + step), y1 = std::min(1400, y + step);
                int red = 0, blue = 0;
                for (int yy = y; yy < y1; ++yy)
                    for (int xx = x; xx < x1; ++xx) {
                        red += xx % 2 ? 200 : 20;
                        blue += (yy / 2) % 2 ? 250 : 10;
                    }
                const int n = (x1 - x) * (y1 - y);
                const uint8_t* p = target + (size_t(j) * size_t(w) + size_t(i)) * 4;
                // Stored through floats: a byte k may come back as k - 1.
                const int wantRed = small ? (red + n / 2) / n : (x % 2 ? 200 : 20);
                const int wantBlue = small ? (blue + n / 2) / n : ((y / 2) % 2 ? 250 : 10);
                wrong +=
                    std::abs(p[1] - wantRed) > 1 || std::abs(p[3] - wantBlue) > 1 || std::abs(p[2] - 90) > 1;
            }
        EXPECT_EQ(wrong, 0);
    }
}

TEST(PostProcessRun, ProgressIsPostedOnlyWhereAsked) {
    struct Case {
        const char* name;
        bool preview;
        bool silent;
        std::vector<int64_t> expected;
    };
    const Case cases[] = {
        {"silent preview", true, true, {}},
        {"preview", true, false, {0}},
        {"silent full size", false, true, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WorkingImageGuard guard;
        StubPixelEffect effect;
        effect.prepare(makeSourceImage(300, 200, patternColour));
        effect.set_preview_mode(c.preview);
        effect.set_silent_mode(c.silent);
        RunRecorder recorder;
        runOnWorker(effect, recorder);
        EXPECT_EQ(recorder.named("EndProcess").size(), 1u);
        EXPECT_EQ(recorder.progress(), c.expected);
    }
}

// 0 at the start, 0 again at the first pixel, then rising to 100 once the result is installed.
void expectRisingTo100(const std::vector<int64_t>& progress) {
    ASSERT_GE(progress.size(), 4u);
    EXPECT_EQ(progress[0], 0);
    EXPECT_EQ(progress[1], 0);
    EXPECT_EQ(progress.back(), 100);
    for (size_t i = 2; i < progress.size(); ++i)
        EXPECT_GT(progress[i], progress[i - 1]) << "at " << i;
}

// The percentages a full-size run posts: 0 at the start, then, visiting column by column, the
// percent of (width x + y)(pass + 1) over passes (height + width^2) at every x % 10 == 0 and
// y % 100 == 0 whenever it grows, and 100 once the result is installed.
std::vector<int64_t> columnByColumnProgress(int width, int height, int passes) {
    const float denominator =
        float(uint64_t(passes) * (uint64_t(height) + uint64_t(width) * uint64_t(width)));
    std::vector<int64_t> out{0};
    int64_t last = -1;
    for (int pass = 0; pass < passes; ++pass)
        for (int x = 0; x < width; ++x)
            for (int y = 0; y < height; ++y) {
                if (x % 10 != 0 || y % 100 != 0) continue;
                const int64_t percent =
                    int64_t(float((int64_t(width) * x + y) * (pass + 1)) / denominator * 100.0f);
                if (percent > last) out.push_back(last = percent);
            }
    out.push_back(100);
    return out;
}

// The run's pixels are shared among four threads when they are independent.
class ThreadCount : public ::testing::TestWithParam<bool> {
  protected:
    void SetUp() override { graphics::setParallelThreads(4); }
    void TearDown() override { graphics::setParallelThreads(0); }
};

INSTANTIATE_TEST_SUITE_P(PostProcessRun, ThreadCount, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "independent" : "one_thread"; });

TEST_P(ThreadCount, FullSizeProgressRisesWithThePixelsDone) {
    WorkingImageGuard guard;
    StubPixelEffect effect;
    effect.independent = GetParam();
    effect.prepare(makeSourceImage(1000, 800, patternColour));
    // What is reported never runs ahead of the share of pixels done.
    std::atomic<int> ahead{0};
    std::atomic<int64_t> visited{0};
    effect.pixel = [&](int32_t, int32_t, int32_t) {
        const int64_t reported = effect.get_complete_precent();
        ahead += reported > visited.load() * 100 / (1000 * 800);
        ++visited;
        return pixel_t{0, 0, 0};
    };
    RunRecorder recorder;
    runOnWorker(effect, recorder);
    EXPECT_EQ(ahead.load(), 0);
    const std::vector<int64_t> progress = recorder.progress();
    expectRisingTo100(progress);
    EXPECT_EQ(progress.size(), 2u + 98u + 1u); // 0, 0, 1 .. 98, 100
    EXPECT_EQ(progress, columnByColumnProgress(1000, 800, 1));
    EXPECT_EQ(effect.get_complete_precent(), 0);
    for (const RunRecorder::Entry& e : recorder.entries())
        EXPECT_TRUE(e.onMainThread) << e.name;
}

TEST_P(ThreadCount, SecondPassContinuesTheProgress) {
    WorkingImageGuard guard;
    StubPixelEffect effect;
    effect.independent = GetParam();
    const graphics::ImagePtr source = makeSourceImage(1000, 1000, patternColour);
    effect.prepare(source);
    effect.passCount = 2;
    int64_t afterFirstPass = -1;
    std::atomic<int> changedSource{0};
    effect.onBeforePass = [&](int32_t pass) {
        if (pass == 1) afterFirstPass = effect.get_complete_precent();
    };
    // Every pass reads the untouched source.
    effect.pixel = [&](int32_t x, int32_t y, int32_t pass) {
        const pixel_t s = PostProcess::get_source_pixel(x, y);
        const Rgb c = patternColour(x, y);
        changedSource += s.r != float(c.r) * (1.0f / 255.0f);
        return pass == 0 ? pixel_t{1, 1, 1} : pixel_t{0.5f, 0, 0};
    };
    RunRecorder recorder;
    runOnWorker(effect, recorder);
    EXPECT_EQ(afterFirstPass, 49);
    EXPECT_EQ(changedSource.load(), 0);
    const std::vector<int64_t> progress = recorder.progress();
    expectRisingTo100(progress);
    EXPECT_EQ(progress, columnByColumnProgress(1000, 1000, 2));
    EXPECT_EQ(PostProcess::gp_data[1], 127); // the last pass stands
}

// Each pass visits every pixel once, between one before_pass and one after_pass on the run's
// thread; independent pixels are visited by several threads.
TEST_P(ThreadCount, PassesVisitEveryPixelOnce) {
    WorkingImageGuard guard;
    StubPixelEffect effect;
    effect.independent = GetParam();
    effect.passCount = 2;
    constexpr int kW = 700, kH = 90;
    effect.prepare(makeSourceImage(kW, kH, patternColour));
    std::vector<std::atomic<int>> visits(size_t(kW) * kH * 2);
    std::mutex lock;
    std::set<std::thread::id> threads;
    std::vector<std::string> events;
    const std::thread::id* runThread = nullptr;
    std::thread::id run;
    effect.onPrepare = [&] {
        run = std::this_thread::get_id();
        runThread = &run;
    };
    effect.onBeforePass = [&](int32_t pass) {
        events.push_back("before " + std::to_string(pass) +
                         (std::this_thread::get_id() == *runThread ? "" : " elsewhere"));
    };
    effect.onAfterPass = [&](int32_t pass) {
        events.push_back("after " + std::to_string(pass) +
                         (std::this_thread::get_id() == *runThread ? "" : " elsewhere"));
    };
    effect.pixel = [&](int32_t x, int32_t y, int32_t pass) {
        ++visits[(size_t(pass) * kH + size_t(y)) * kW + size_t(x)];
        size_t seen;
        {
            std::lock_guard guard(lock);
            threads.insert(std::this_thread::get_id());
            seen = threads.size();
        }
        // The first pixel waits for another thread to join in, so the sharing is shown whatever
        // the machine's load.
        if (GetParam() && pass == 0 && x == 0 && y == 0 && seen == 1)
            waitFor([&] {
                std::lock_guard guard(lock);
                return threads.size() > 1;
            });
        return PostProcess::get_source_pixel(x, y);
    };
    effect.set_silent_mode(true);
    RunRecorder recorder;
    runOnWorker(effect, recorder);
    EXPECT_EQ(recorder.named("EndProcess").size(), 1u);
    int wrong = 0;
    for (const std::atomic<int>& v : visits)
        wrong += v.load() != 1;
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(events, (std::vector<std::string>{"before 0", "after 0", "before 1", "after 1"}));
    if (GetParam())
        EXPECT_GT(threads.size(), 1u);
    else
        EXPECT_EQ(threads.size(), 1u);
}

TEST_P(ThreadCount, CancelDuringPassesKeepsTheWorkingImage) {
    WorkingImageGuard guard;
    StubPixelEffect effect;
    effect.independent = GetParam();
    constexpr int kW = 600, kH = 200;
    effect.prepare(makeSourceImage(kW, kH, patternColour));
    ASSERT_TRUE(PostProcess::global_pre_init(effect.source()));
    const std::vector<uint8_t> before = workingBytes();
    uint8_t* const working = PostProcess::gp_data;

    std::atomic<bool> reached{false}, cancelled{false}, resumed{false};
    std::atomic<int> calls{0}, late{0}, ended{0};
    effect.pixel = [&](int32_t x, int32_t y, int32_t) {
        ++calls;
        late += resumed.load();
        if (x == 50 && y == 10) {
            reached = true;
            waitFor([&] { return cancelled.load(); });
            resumed = true;
        }
        return pixel_t{1, 0, 0};
    };
    effect.onEnded = [&] { ++ended; };
    RunRecorder recorder;
    Thread worker([&] { effect.process(); });
    ASSERT_TRUE(waitFor([&] { return reached.load(); }));
    worker.cancel();
    cancelled = true;
    // How the one who starts runs waits for a cancelled one to leave.
    effect.lock().lock();
    effect.lock().unlock();

    const std::vector<RunRecorder::Entry> cancelledRuns = recorder.named("ProcessCancelled");
    ASSERT_EQ(cancelledRuns.size(), 1u);
    EXPECT_FALSE(cancelledRuns[0].onMainThread);
    EXPECT_EQ(cancelledRuns[0].thread, &worker);
    EXPECT_TRUE(cancelledRuns[0].object.isNull());
    // The flag is looked at after every pixel: a thread busy with a pixel when the cancel comes
    // starts no other.
    EXPECT_LE(late.load(), GetParam() ? 3 : 0);
    EXPECT_LT(calls.load(), kW * kH);
    EXPECT_EQ(ended.load(), 1);
    EXPECT_EQ(PostProcess::gp_data, working);
    EXPECT_TRUE(workingBytes() == before);
    EXPECT_EQ(effect.source(), nullptr);

    worker.join();
    RunLoop::runOnce();
    EXPECT_EQ(recorder.ends(), 1u);
    EXPECT_TRUE(recorder.progress().size() < columnByColumnProgress(kW, kH, 1).size());
}

// A copy written through levels; onLevels runs once the pass has begun and its levels are made.
class LevelCopy final : public LevelRows<LevelCopy> {
  public:
    bool independent = false;
    std::function<void()> onLevels;
    pixel_t colour(const pixel_t& source) const { return source; }
    bool pixels_are_independent() override { return independent; }
    bool channel_levels(ChannelLevels& levels) override {
        const bool given = LevelRows::channel_levels(levels);
        if (onLevels) onLevels();
        return given;
    }
};

// A pass written through levels looks at the flag after each chunk of 64 pixels: a cancel that
// comes once the pass has begun leaves each thread's chunk the last it writes.
TEST_P(ThreadCount, CancelStopsAPassWrittenThroughLevels) {
    constexpr int kW = 600, kH = 200, kChunk = 64;
    for (const bool preview : {false, true}) {
        SCOPED_TRACE(preview ? "preview" : "full size");
        WorkingImageGuard guard;
        LevelCopy effect;
        effect.independent = GetParam();
        const graphics::ImagePtr source = makeSourceImage(kW, kH, patternColour);
        effect.prepare(source);
        ASSERT_TRUE(PostProcess::global_pre_init(source));
        // The picture is small enough for a preview step of 1: every pixel written shows.
        ASSERT_EQ(PostProcess::g_preview_step_x, 1);
        std::memset(PostProcess::gp_preview_buf, 0, size_t(kW) * kH * 4);
        const std::vector<uint8_t> before = workingBytes();
        uint8_t* const working = PostProcess::gp_data;
        effect.set_preview_mode(preview);
        std::atomic<bool> reached{false}, cancelled{false};
        effect.onLevels = [&] {
            reached = true;
            waitFor([&] { return cancelled.load(); });
        };
        RunRecorder recorder;
        Thread worker([&] { effect.process(); });
        ASSERT_TRUE(waitFor([&] { return reached.load(); }));
        worker.cancel();
        cancelled = true;
        effect.lock().lock();
        effect.lock().unlock();

        EXPECT_EQ(recorder.named("ProcessCancelled").size(), 1u);
        EXPECT_EQ(PostProcess::gp_data, working);
        EXPECT_TRUE(workingBytes() == before);
        if (preview) {
            int written = 0;
            for (size_t i = 0; i < size_t(kW) * kH; ++i)
                written += PostProcess::gp_preview_buf[i * 4] != 0;
            EXPECT_GT(written, 0);
            EXPECT_LE(written, kChunk * (GetParam() ? 4 : 1));
        }
        worker.join();
        RunLoop::runOnce();
        EXPECT_EQ(recorder.ends(), 1u);
    }
}

TEST(PostProcessRun, CancelBeforeTheRunStartsTouchesNothing) {
    StubPixelEffect effect;
    effect.prepare(makeSourceImage(20, 20, patternColour));
    int hooks = 0;
    effect.onPrepare = [&] { ++hooks; };
    effect.pixel = [&](int32_t, int32_t, int32_t) {
        ++hooks;
        return pixel_t{};
    };
    RunRecorder recorder;
    std::atomic<bool> go{false};
    Thread worker([&] {
        waitFor([&] { return go.load(); });
        effect.process();
    });
    worker.cancel();
    go = true;
    worker.join();
    RunLoop::runOnce();
    EXPECT_EQ(hooks, 0);
    EXPECT_FALSE(PostProcess::g_global_pre_inited);
    EXPECT_EQ(PostProcess::gp_data, nullptr);
    EXPECT_EQ(effect.source(), nullptr);
    ASSERT_EQ(recorder.ends(), 1u);
    EXPECT_EQ(recorder.named("ProcessCancelled").size(), 1u);
}

// A preparation that gives up because its run was cancelled (a kernel answering false) ends the
// run as cancelled, not failed, and leaves the working image as it was.
TEST(PostProcessRun, PreparationCutShortByACancelIsACancel) {
    WorkingImageGuard guard;
    StubPixelEffect effect;
    ASSERT_TRUE(PostProcess::global_pre_init(makeSourceImage(40, 30, patternColour)));
    const std::vector<uint8_t> before = workingBytes();
    std::atomic<bool> reached{false};
    effect.onPrepare = [&] {
        reached = true;
        waitFor([] { return Thread::current().isCancelled(); });
    };
    effect.failsPreparation = true;
    RunRecorder recorder;
    Thread worker([&] { effect.process(); });
    ASSERT_TRUE(waitFor([&] { return reached.load(); }));
    worker.cancel();
    worker.join();
    RunLoop::runOnce();
    EXPECT_EQ(recorder.ends(), 1u);
    EXPECT_EQ(recorder.named("ProcessCancelled").size(), 1u);
    EXPECT_TRUE(recorder.named("ProcessFailed").empty());
    EXPECT_TRUE(workingBytes() == before);
}

TEST(PostProcessRun, WholeImageRunWithoutSourceUsesTheWorkingImage) {
    WorkingImageGuard guard;
    ASSERT_TRUE(PostProcess::global_pre_init(makeSourceImage(30, 20, patternColour)));
    const std::vector<uint8_t> working = workingBytes();
    StubWholeImageEffect effect;
    effect.prepare(nullptr);
    const graphics::ImagePtr made = makeSourceImage(3, 3, patternColour);
    graphics::ImagePtr seen;
    effect.make = [&](const graphics::ImagePtr& source) {
        seen = source;
        return made;
    };
    RunRecorder recorder;
    graphics::ImagePtr returned;
    {
        Thread worker([&] { returned = effect.process(); });
    }
    ASSERT_TRUE(RunLoop::runUntil([&] { return recorder.ends() >= 1; }, 10));

    ASSERT_NE(seen, nullptr);
    ASSERT_EQ(seen->width(), 30);
    EXPECT_TRUE(std::equal(working.begin(), working.end(), seen->data()));
    EXPECT_EQ(returned, made);
    const std::vector<RunRecorder::Entry> ends = recorder.named("EndProcess");
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_TRUE(ends[0].onMainThread);
    EXPECT_EQ(ends[0].object.identity(), &effect);
    const foundation::Value* result = ends[0].userInfo.find("ResultImage");
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->getObject<const graphics::Image>("Image"), made);
    EXPECT_EQ(effect.source(), nullptr);
    EXPECT_TRUE(recorder.progress().empty());
}

// Runs that cannot produce a result say so, instead of ending silently or reporting success.
TEST(PostProcessRun, RunsWithoutAResultFail) {
    struct Case {
        const char* name;
        std::function<std::unique_ptr<PostProcess>(int& hooks)> make;
        bool workingImage;
        int hooks; // hook calls expected before the run gives up
    };
    const auto pixelEffect = [](bool preview, bool failsPreparation = false) {
        return [preview, failsPreparation](int& hooks) {
            auto e = std::make_unique<StubPixelEffect>();
            e->failsPreparation = failsPreparation;
            e->pixel = [&hooks](int32_t, int32_t, int32_t) {
                ++hooks;
                return pixel_t{};
            };
            e->onPrepare = [&hooks] { ++hooks; };
            e->set_preview_mode(preview);
            return std::unique_ptr<PostProcess>(std::move(e));
        };
    };
    const auto wholeEffect = [](bool producesNothing) {
        return [producesNothing](int& hooks) {
            auto e = std::make_unique<StubWholeImageEffect>();
            e->make = [&hooks, producesNothing](const graphics::ImagePtr& source) {
                ++hooks;
                return producesNothing ? nullptr : source;
            };
            return std::unique_ptr<PostProcess>(std::move(e));
        };
    };
    const Case cases[] = {
        {"per pixel, no image at all", pixelEffect(false), false, 0},
        {"preview after its buffer was consumed", pixelEffect(true), true, 0},
        {"per pixel, preparation failed", pixelEffect(false, true), true, 1},
        {"whole image, no image at all", wholeEffect(false), false, 0},
        {"whole image producing nothing", wholeEffect(true), true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WorkingImageGuard guard;
        int hooks = 0;
        std::unique_ptr<PostProcess> effect = c.make(hooks);
        std::vector<uint8_t> before;
        if (c.workingImage) {
            ASSERT_TRUE(PostProcess::global_pre_init(makeSourceImage(40, 30, patternColour)));
            ASSERT_TRUE(PostProcess::updateContextForPreviewData());
            before = workingBytes();
        }
        RunRecorder recorder;
        runOnWorker(*effect, recorder);
        const std::vector<RunRecorder::Entry> failed = recorder.named("ProcessFailed");
        ASSERT_EQ(failed.size(), 1u);
        EXPECT_EQ(recorder.ends(), 1u);
        EXPECT_TRUE(failed[0].onMainThread);
        EXPECT_EQ(failed[0].object.identity(), effect.get());
        EXPECT_EQ(hooks, c.hooks);
        if (c.workingImage) {
            EXPECT_TRUE(workingBytes() == before);
        }
    }
}

// The way effects are driven: each new run cancels the previous one and waits on its lock
// before starting, some runs clear the working image in between, and the main loop is pumped
// by hand. No two runs may touch the working image at once, and each run ends exactly once.
TEST(PostProcessRun, StartAndCancelInQuickSuccession) {
    WorkingImageGuard guard;
    const graphics::ImagePtr source = makeSourceImage(300, 48, patternColour); // many bands of rows
    std::atomic<PostProcess*> active{nullptr};
    std::atomic<int> overlaps{0};
    const auto enter = [&](PostProcess* e) {
        PostProcess* expected = nullptr;
        if (!active.compare_exchange_strong(expected, e)) ++overlaps;
    };
    const auto leave = [&](PostProcess* e) {
        PostProcess* expected = e;
        active.compare_exchange_strong(expected, nullptr);
    };

    struct Run {
        std::unique_ptr<PostProcess> effect;
        std::unique_ptr<Thread> thread;
    };
    std::vector<Run> runs;
    RunRecorder recorder;
    std::mt19937 rng(7);
    constexpr int kRuns = 300;
    for (int i = 0; i < kRuns; ++i) {
        std::unique_ptr<PostProcess> effect;
        if (i % 3 == 2) {
            auto e = std::make_unique<StubWholeImageEffect>();
            StubWholeImageEffect* self = e.get();
            e->make = [&, self](const graphics::ImagePtr& src) {
                enter(self);
                std::this_thread::yield();
                leave(self);
                return src;
            };
            effect = std::move(e);
        } else {
            auto e = std::make_unique<StubPixelEffect>();
            StubPixelEffect* self = e.get();
            e->passCount = 1 + uint64_t(i % 2);
            e->onPrepare = [&, self] { enter(self); };
            e->onEnded = [&, self] { leave(self); };
            e->pixel = [&, self](int32_t x, int32_t y, int32_t) {
                if (active.load() != self) ++overlaps;
                return PostProcess::get_source_pixel(x, y);
            };
            e->independent = i % 4 == 1;
            e->set_preview_mode(i % 4 == 0);
            e->setIsSmallPreview(i % 8 == 0);
            effect = std::move(e);
        }
        effect->set_silent_mode(i % 5 == 0);
        effect->prepare(i % 7 == 3 ? nullptr : source);

        if (!runs.empty()) {
            Run& previous = runs.back();
            previous.thread->cancel();
            previous.effect->lock().lock();
            previous.effect->lock().unlock();
            if (i % 10 == 0) PostProcess::global_clean();
        }
        PostProcess* raw = effect.get();
        runs.push_back({std::move(effect), std::make_unique<Thread>([raw] { raw->process(); })});
        if (rng() % 4 == 0) std::this_thread::sleep_for(std::chrono::microseconds(rng() % 500));
        if (rng() % 2 == 0) RunLoop::runOnce();
    }
    runs.back().effect->lock().lock(); // the last run may finish
    runs.back().effect->lock().unlock();
    for (Run& r : runs)
        r.thread->join();
    ASSERT_TRUE(RunLoop::runUntil([&] { return recorder.ends() >= size_t(kRuns); }, 20));
    RunLoop::runOnce();

    EXPECT_EQ(overlaps.load(), 0);
    std::map<const void*, int> endsPerRun;
    for (const RunRecorder::Entry& e : recorder.entries()) {
        if (e.name == "ProcessCancelled") ++endsPerRun[e.thread];
        if (e.name == "EndProcess" || e.name == "ProcessFailed") ++endsPerRun[e.object.identity()];
    }
    int missing = 0, repeated = 0;
    for (const Run& r : runs) {
        const int n = endsPerRun[r.thread.get()] + endsPerRun[r.effect.get()];
        missing += n == 0;
        repeated += n > 1;
    }
    EXPECT_EQ(missing, 0);
    EXPECT_EQ(repeated, 0);
    EXPECT_EQ(recorder.ends(), size_t(kRuns));
}

} // namespace
