// The manager's runs: thumbnail queue, renders, preset chains, frame pass, progress, mask, cancel.
#include "engine/PostProcessesManager.h"

#include "engine/CustomPreset.h"
#include "engine/PostProcess.h"
#include "engine/PostProcessParameter.h"
#include "engine/PostProcessesManagerDelegate.h"
#include "platform/coreimage/Image.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Thread.h"
#include "platform/foundation/UndoManager.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/graphics/PixelConversion.h"

#include "support/EffectRun.h"
#include "support/FakeManagerDelegate.h"
#include "support/ImagePixels.h"
#include "support/ScopedEnvironment.h"
#include "support/ScopedValue.h"
#include "support/StubEffects.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using foundation::RunLoop;
using foundation::Thread;

// A catalogue effect whose hooks the test sets: per-pixel unless `whole` is set. It has two
// parameters and may support a centre, as preset records need.
class TestEffect : public StubPixelEffect {
  public:
    TestEffect(std::string name, bool frame) : m_name(std::move(name)), m_frame(frame) {
        m_param_1 = std::make_shared<PostProcessParameter>("Amount", 0, 100, 10);
        m_param_2 = std::make_shared<PostProcessParameter>("Size", 0, 100, 20);
    }
    std::function<graphics::ImagePtr(const graphics::ImagePtr& source)> whole;
    bool centerSupported = false;
    std::atomic<int> previewEnters{0}, previewExits{0};

    std::string get_name() override { return m_name; }
    bool isFrame() override { return m_frame; }
    bool isCenterSupported() override { return centerSupported; }
    bool has_custom_process_function() override { return bool(whole); }
    graphics::ImagePtr custom_process_function() override { return whole(m_img); }
    void on_preview_entered() override { ++previewEnters; }
    void on_preview_exit() override {
        ++previewExits;
        if (onPreviewExit) onPreviewExit();
    }
    std::function<void()> onPreviewExit;
    // Reports a percentage of the run, as a kernel does.
    void report(int64_t percent) {
        m_precent.store(percent);
        call_progress_callback();
    }

  private:
    std::string m_name;
    bool m_frame;
};

pixel_t inverted(int32_t x, int32_t y, int32_t) {
    const pixel_t s = PostProcess::get_source_pixel(x, y);
    return {1.0f - s.r, 1.0f - s.g, 1.0f - s.b};
}

Rgb invertedByte(Rgb c) {
    constexpr float k = 1.0f / 255.0f;
    return {storedByte(1.0f - float(c.r) * k), storedByte(1.0f - float(c.g) * k),
            storedByte(1.0f - float(c.b) * k)};
}

// Waits (bounded) without pumping the main loop.
bool waitFor(const std::function<bool()>& pred) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!pred()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}

bool pumpUntil(const std::function<bool()>& pred) {
    return RunLoop::runUntil(pred, 10);
}

// Waits until a run that has reached its end hook has also left process(), so that its last
// notification is queued.
void waitUntilRunLeft(PostProcess& effect, const std::atomic<bool>& ended) {
    ASSERT_TRUE(waitFor([&] { return ended.load(); }));
    ASSERT_TRUE(waitFor([&] {
        if (!effect.lock().try_lock()) return false;
        effect.lock().unlock();
        return true;
    }));
}

// A hook that holds its run until go is set or the run is cancelled.
std::function<void()> holdUntil(const std::atomic<bool>& go, std::atomic<bool>* reached = nullptr) {
    return [&go, reached] {
        if (reached) *reached = true;
        waitFor([&] { return go.load() || Thread::current().isCancelled(); });
    };
}

coreimage::ImagePtr halvesMask(int w, int h) {
    return coreimage::Image::imageWithCGImage(makeSourceImage(w, h, [w](int x, int) {
        return x < w / 2 ? Rgb{0, 0, 0} : Rgb{255, 255, 255};
    }));
}

std::shared_ptr<CustomPreset> presetOf(const std::vector<EffectRecord>& records) {
    return std::make_shared<CustomPreset>(records, "Test preset");
}

EffectRecord record(const std::string& name) {
    return {{"EffectName", name}};
}

class Rendering : public ::testing::Test {
  protected:
    void SetUp() override {
        environment.set("OPALENE_CONFIG_DIR", dir.file("config"));
        environment.set("OPALENE_DATA_DIR", dir.file("data"));
    }

    // A manager over effects "E0" .. "E<n-1>" and a frame "Frame".
    std::unique_ptr<PostProcessesManager> makeManager(int n = 4) {
        std::vector<PostProcessesManager::CatalogueEntry> entries;
        for (int i = 0; i <= n; ++i)
            entries.push_back([i, n](int32_t index) -> std::unique_ptr<PostProcess> {
                auto e = std::make_unique<TestEffect>(i < n ? "E" + std::to_string(i) : "Frame", i == n);
                e->init({}, index);
                return e;
            });
        return std::make_unique<PostProcessesManager>(entries);
    }
    static TestEffect& effect(PostProcessesManager& m, const std::string& name) {
        return *static_cast<TestEffect*>(m.postProcessWithName(name));
    }

    TemporaryDirectory dir;
    ScopedEnvironment environment;
    ScopedValue<int32_t> quality{PostProcess::g_preview_quality, 0};
    WorkingImageGuard guard;
};

// ---- Thumbnail queue ----

TEST_F(Rendering, QueueKeepsTheNewestEntriesWithinItsLimit) {
    auto m = makeManager(9);
    std::atomic<bool> go{false}, reached{false};
    effect(*m, "E0").onPrepare = holdUntil(go, &reached);
    std::vector<std::string> thumbnails;
    foundation::NotificationCenter::defaultCenter().addObserver(
        this, PostProcessPreviewImageDidChangeNotification, nullptr, [&](const foundation::Notification& n) {
            for (const auto& e : m->postProcesses())
                if (e.get() == n.object.identity()) thumbnails.push_back(e->get_name());
        });
    m->setOriginalImage(makeSourceImage(8, 4, patternColour));
    for (int i = 0; i < 9; ++i)
        m->pushEffectForGenerating(&effect(*m, "E" + std::to_string(i)));
    ASSERT_TRUE(waitFor([&] { return reached.load(); }));

    const auto queued = [&] {
        std::vector<std::string> names;
        for (const auto& entry : m->stackEffects())
            names.push_back(std::get<PostProcess*>(entry)->get_name());
        return names;
    };
    EXPECT_EQ(queued(), (std::vector<std::string>{"E2", "E3", "E4", "E5", "E6", "E7", "E8"}));
    m->pushEffectForGenerating(&effect(*m, "E5"));
    EXPECT_EQ(queued(), (std::vector<std::string>{"E2", "E3", "E4", "E5", "E6", "E7", "E8"}));
    m->setMaxCountEffects(3);
    EXPECT_EQ(queued(), (std::vector<std::string>{"E6", "E7", "E8"}));

    go = true;
    ASSERT_TRUE(pumpUntil([&] { return m->stackEffects().empty() && thumbnails.size() >= 4; }));
    EXPECT_EQ(thumbnails, (std::vector<std::string>{"E0", "E6", "E7", "E8"}));
    EXPECT_EQ(effect(*m, "E1").previewImage(), nullptr);
    foundation::NotificationCenter::defaultCenter().removeObserver(this);
}

TEST_F(Rendering, PushingAPresetStopsTheEffectThumbnails) {
    auto m = makeManager();
    std::atomic<bool> go{false}, reached{false};
    TestEffect& e0 = effect(*m, "E0");
    e0.onPrepare = holdUntil(go, &reached);
    effect(*m, "E3").pixel = inverted;
    const graphics::ImagePtr source = makeSourceImage(8, 4, patternColour);
    m->setOriginalImage(source);
    m->pushEffectForGenerating(&e0);
    m->pushEffectForGenerating(&effect(*m, "E1"));
    ASSERT_TRUE(waitFor([&] { return reached.load(); }));

    const auto preset = presetOf({record("E3")});
    m->pushPresetForGenerating(preset);
    ASSERT_EQ(m->stackEffects().size(), 1u);
    EXPECT_EQ(std::get<std::shared_ptr<CustomPreset>>(m->stackEffects()[0]), preset);
    ASSERT_TRUE(pumpUntil([&] { return preset->previewImage() != nullptr; }));
    EXPECT_EQ(e0.previewImage(), nullptr); // its run was cancelled
    EXPECT_EQ(effect(*m, "E1").previewImage(), nullptr);
    const ImagePixels thumb = pixelsOf(preset->previewImage());
    ASSERT_EQ(thumb.w, 8);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_TRUE(thumb.at(x, y) == invertedByte(patternColour(x, y))) << x << "," << y;
    EXPECT_FALSE(PostProcess::g_global_pre_inited);
}

TEST_F(Rendering, ANewSourceRestartsTheQueueOverIt) {
    auto m = makeManager();
    std::atomic<bool> go{false}, reached{false};
    TestEffect& e0 = effect(*m, "E0");
    std::atomic<int> e0Runs{0};
    e0.onPrepare = [&] {
        if (++e0Runs == 1) holdUntil(go, &reached)();
    };
    for (const char* name : {"E0", "E1", "E2"})
        effect(*m, name).pixel = inverted;
    const auto other = [](int x, int y) { return Rgb{uint8_t(200 - x), uint8_t(y * 40), 17}; };
    m->setOriginalImage(makeSourceImage(8, 4, patternColour));
    for (const char* name : {"E0", "E1", "E2"})
        m->pushEffectForGenerating(&effect(*m, name));
    ASSERT_TRUE(waitFor([&] { return reached.load(); }));

    m->setOriginalImage(makeSourceImage(8, 4, other));
    ASSERT_TRUE(pumpUntil([&] { return m->stackEffects().empty(); }));
    EXPECT_EQ(e0Runs.load(), 2);
    for (const char* name : {"E0", "E1", "E2"}) {
        SCOPED_TRACE(name);
        const ImagePixels thumb = pixelsOf(effect(*m, name).previewImage());
        ASSERT_EQ(thumb.w, 8);
        int wrong = 0;
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 8; ++x)
                wrong += !(thumb.at(x, y) == invertedByte(other(x, y)));
        EXPECT_EQ(wrong, 0);
    }
}

// A run that cannot produce anything ends its item like any other.
TEST_F(Rendering, FailedRunsDoNotStallTheQueueOrTheEditor) {
    auto m = makeManager();
    TestEffect& broken = effect(*m, "E0");
    broken.whole = [](const graphics::ImagePtr&) { return graphics::ImagePtr(); };
    m->setOriginalImage(makeSourceImage(8, 4, patternColour));
    m->pushEffectForGenerating(&broken);
    m->pushEffectForGenerating(&effect(*m, "E1"));
    ASSERT_TRUE(pumpUntil([&] { return effect(*m, "E1").previewImage() != nullptr; }));
    EXPECT_TRUE(m->stackEffects().empty());
    EXPECT_EQ(broken.previewImage(), nullptr);

    FakeManagerDelegate d;
    m->generateImageForPostProcess(&broken, false, &d);
    ASSERT_TRUE(pumpUntil([&] { return !d.finishes.empty(); }));
    EXPECT_EQ(d.finishes[0].effect, &broken);
    EXPECT_EQ(d.finishes[0].result, nullptr);
}

// ---- Progress ----

TEST_F(Rendering, ProgressIsMappedOntoTheWholeRender) {
    struct Case {
        const char* name;
        int steps; // 0: a single effect
        bool frame;
        std::vector<int64_t> stepReports;
        std::vector<int64_t> frameReports;
        std::vector<int64_t> expected;
    };
    const Case cases[] = {
        {"4-step preset", 4, false, {50}, {}, {12, 37, 62, 87}},
        {"4-step preset with a frame", 4, true, {50}, {}, {9, 29, 49, 69}},
        {"3-step preset", 3, false, {0, 100}, {}, {0, 33, 33, 66, 66, 99}},
        {"single effect with a frame", 0, true, {50}, {50}, {40, 90}},
        {"single effect", 0, false, {0, 50, 100}, {}, {0, 50, 100}},
        {"single effect with a frame, start to end",
         0,
         true,
         {0, 50, 100},
         {0, 50, 100},
         {0, 40, 80, 80, 90, 100}},
        // The preset's frame pass still counts as the chain's first share, then takes the last 20.
        {"3-step preset with a frame",
         3,
         true,
         {0, 50, 100},
         {0, 50, 100},
         {0, 12, 26, 26, 39, 52, 52, 66, 79, 80, 83, 86}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto m = makeManager();
        const graphics::ImagePtr source = makeSourceImage(8, 4, patternColour);
        m->setOriginalImage(source);
        const auto reporting = [](TestEffect& e, std::vector<int64_t> reports) {
            e.whole = [&e, reports](const graphics::ImagePtr& image) {
                for (int64_t p : reports)
                    e.report(p);
                return image;
            };
        };
        for (int i = 0; i < 4; ++i)
            reporting(effect(*m, "E" + std::to_string(i)), c.stepReports);
        reporting(effect(*m, "Frame"), c.frameReports);
        FakeManagerDelegate d;
        if (c.frame) d.frame = &effect(*m, "Frame");
        if (c.steps == 0) {
            m->generateImageForPostProcess(&effect(*m, "E0"), false, &d);
        } else {
            std::vector<EffectRecord> records;
            for (int i = 0; i < c.steps; ++i)
                records.push_back(record("E" + std::to_string(i)));
            m->generateImageForPreset(presetOf(records), false, &d);
        }
        ASSERT_TRUE(pumpUntil([&] { return !d.finishes.empty(); }));
        RunLoop::runOnce();
        EXPECT_EQ(d.progress, c.expected);
        EXPECT_EQ(d.finishes.size(), 1u);
    }
}

// The progress message is optional: a delegate without it still gets its result.
TEST_F(Rendering, ADelegateWithoutProgressGetsItsResult) {
    struct ResultOnly : PostProcessesManagerDelegate {
        graphics::ImagePtr result;
        void finishPostProcess(PostProcessesManager&, PostProcess*, graphics::ImagePtr r, graphics::ImagePtr,
                               bool) override {
            result = std::move(r);
        }
        PostProcess* currentFrameEffect() override { return nullptr; }
        double frameParametr() override { return 0; }
        foundation::UndoManager* undoManager() override { return nullptr; }
    } d;
    auto m = makeManager();
    m->setOriginalImage(makeSourceImage(300, 200, patternColour));
    m->generateImageForPostProcess(&effect(*m, "E0"), false, &d);
    ASSERT_TRUE(pumpUntil([&] { return d.result != nullptr; }));
    EXPECT_EQ(d.result->width(), 300);
}

// ---- Frame pass ----

TEST_F(Rendering, FramePassFollowsTheMainRun) {
    auto m = makeManager();
    TestEffect& e0 = effect(*m, "E0");
    TestEffect& frame = effect(*m, "Frame");
    e0.pixel = inverted;
    const graphics::ImagePtr framed = makeSourceImage(10, 6, patternColour);
    std::atomic<double> seenWidth{-1};
    graphics::ImagePtr frameSource;
    frame.whole = [&](const graphics::ImagePtr& image) {
        seenWidth = frame.param_1()->value();
        frameSource = image;
        return framed;
    };
    frame.param_1()->setValue(5);
    m->setOriginalImage(makeSourceImage(8, 4, patternColour));
    FakeManagerDelegate d;
    d.frame = &frame;
    d.frameValue = 42;
    m->generateImageForPostProcess(&e0, false, &d);
    ASSERT_TRUE(pumpUntil([&] { return !d.finishes.empty(); }));

    const FakeManagerDelegate::Finish& f = d.finishes[0];
    EXPECT_EQ(f.effect, &e0);
    EXPECT_EQ(f.result, framed);
    ASSERT_NE(f.beforeFrame, nullptr);
    EXPECT_EQ(f.beforeFrame, frameSource);
    EXPECT_TRUE(pixelsOf(f.beforeFrame).at(3, 2) == invertedByte(patternColour(3, 2)));
    EXPECT_EQ(seenWidth.load(), 42);
    EXPECT_EQ(frame.param_1()->value(), 5);
    EXPECT_FALSE(f.isPreview);
}

// A frame pass stopped by a cancel or by the next render leaves nothing of its render behind: the
// next render without a frame names its own effect and has no before-frame image.
TEST_F(Rendering, AStoppedFramePassLeavesNothingBehind) {
    for (const bool cancelFirst : {true, false}) {
        SCOPED_TRACE(cancelFirst ? "cancelled" : "replaced");
        auto m = makeManager();
        TestEffect& e0 = effect(*m, "E0");
        TestEffect& e1 = effect(*m, "E1");
        TestEffect& frame = effect(*m, "Frame");
        e0.pixel = inverted;
        std::atomic<bool> go{false}, reached{false};
        frame.whole = [&](const graphics::ImagePtr& image) {
            holdUntil(go, &reached)();
            return image;
        };
        frame.param_1()->setValue(5);
        m->setOriginalImage(makeSourceImage(8, 4, patternColour));
        FakeManagerDelegate d;
        d.frame = &frame;
        d.frameValue = 42;
        m->generateImageForPostProcess(&e0, true, &d);
        ASSERT_TRUE(pumpUntil([&] { return reached.load(); }));

        if (cancelFirst) m->cancelGeneratingImage();
        d.frame = nullptr;
        m->generateImageForPostProcess(&e1, true, &d);
        ASSERT_TRUE(pumpUntil([&] { return !d.finishes.empty(); }));
        ASSERT_EQ(d.finishes.size(), 1u);
        EXPECT_EQ(d.finishes[0].effect, &e1);
        EXPECT_EQ(d.finishes[0].beforeFrame, nullptr);
        EXPECT_EQ(frame.param_1()->value(), 5);
    }
}

// The clean-up the editor runs when it drops the working image: a queued thumbnail starts only
// over the picture made after the clean, and that picture stays while it runs.
TEST_F(Rendering, CleaningTheWorkingImageRestartsThumbnailsAfterTheClean) {
    auto m = makeManager();
    TestEffect& e0 = effect(*m, "E0");
    TestEffect& e2 = effect(*m, "E2");
    e0.pixel = inverted;
    e2.pixel = inverted;
    std::atomic<uint64_t> generationSeen{0}, generationAtEnd{0};
    std::atomic<bool> go{false}, reached{false};
    e0.onPrepare = [&] {
        generationSeen = PostProcess::g_data_generation;
        holdUntil(go, &reached)();
    };
    e0.onEnded = [&] { generationAtEnd = PostProcess::g_data_generation; };
    // The render's effect is left on the main thread just before the thumbnail's worker starts.
    std::optional<bool> pictureAtThumbnailStart;
    e2.onPreviewExit = [&] { pictureAtThumbnailStart = PostProcess::g_global_pre_inited; };
    m->setOriginalImage(makeSourceImage(40, 30, patternColour));
    FakeManagerDelegate d;
    m->generateImageForPostProcess(&e2, false, &d);
    m->pushEffectForGenerating(&e0); // queued: generation is off during a full-size render
    ASSERT_TRUE(pumpUntil([&] { return !d.finishes.empty(); }));
    ASSERT_TRUE(PostProcess::g_global_pre_inited);
    const uint64_t before = PostProcess::g_data_generation;

    m->cleanWorkingImage();
    EXPECT_EQ(pictureAtThumbnailStart, std::optional<bool>(false));
    ASSERT_TRUE(waitFor([&] { return reached.load(); }));
    EXPECT_EQ(generationSeen.load(), before + 1);
    EXPECT_NE(PostProcess::gp_data, nullptr);
    go = true;
    ASSERT_TRUE(pumpUntil([&] { return e0.previewImage() != nullptr; }));
    EXPECT_EQ(generationAtEnd.load(), before + 1);
    EXPECT_TRUE(pixelsOf(e0.previewImage()).at(3, 2) == invertedByte(patternColour(3, 2)));
    EXPECT_TRUE(m->isGeneratingOn());
}

// A batch picture: the queued thumbnail does not run while the batch goes on, each picture is
// made over itself (not over the working image of the one before), and the clean-up at the end
// resumes the thumbnails.
TEST_F(Rendering, BatchPicturesRunAloneAndThumbnailsResumeAfterwards) {
    auto m = makeManager();
    TestEffect& e0 = effect(*m, "E0");
    TestEffect& e1 = effect(*m, "E1");
    e0.pixel = inverted;
    e1.pixel = inverted;
    std::atomic<int> thumbnailRuns{0};
    e1.onPrepare = [&] { ++thumbnailRuns; };
    m->setOriginalImage(makeSourceImage(40, 30, patternColour));
    FakeManagerDelegate d;
    m->generateImageForPostProcess(&e0, false, &d);
    m->pushEffectForGenerating(&e1);
    ASSERT_TRUE(pumpUntil([&] { return !d.finishes.empty(); }));

    const auto other = [](int x, int y) { return Rgb{uint8_t(3 * x), uint8_t(200 - y), 9}; };
    for (const auto& colour :
         {std::function<Rgb(int, int)>(patternColour), std::function<Rgb(int, int)>(other)}) {
        const graphics::ImagePtr picture = makeSourceImage(12, 8, colour);
        const graphics::ImagePtr result = m->getProcessedImageForBatch(&e0, nullptr, picture);
        ASSERT_NE(result, nullptr);
        EXPECT_TRUE(pixelsOf(result).at(5, 3) == invertedByte(colour(5, 3)));
        EXPECT_FALSE(m->isGeneratingOn());
    }
    EXPECT_EQ(m->getProcessedImageForBatch(nullptr, nullptr, nullptr), nullptr);
    for (int i = 0; i < 5; ++i)
        RunLoop::runOnce();
    EXPECT_EQ(thumbnailRuns.load(), 0);

    m->cleanWorkingImage();
    ASSERT_TRUE(pumpUntil([&] { return e1.previewImage() != nullptr; }));
    EXPECT_TRUE(pixelsOf(e1.previewImage()).at(3, 2) == invertedByte(patternColour(3, 2)));
}

// ---- Mask ----

TEST_F(Rendering, ResultsAreBlendedThroughTheMask) {
    struct Case {
        const char* name;
        bool hide;
        bool withoutMask;
        bool maskShows;
    };
    const Case cases[] = {
        {"mask shown", false, false, true},
        {"mask hidden", true, false, false},
        {"generated without mask", false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto m = makeManager();
        TestEffect& e0 = effect(*m, "E0");
        e0.pixel = inverted;
        m->setOriginalImage(makeSourceImage(8, 4, patternColour));
        m->setMask(halvesMask(8, 4));
        m->setHideMask(c.hide);
        m->setGenerateWithoutMask(c.withoutMask);
        FakeManagerDelegate d;
        m->generateImageForPostProcess(&e0, false, &d);
        ASSERT_TRUE(pumpUntil([&] { return !d.finishes.empty(); }));
        const ImagePixels out = pixelsOf(d.finishes[0].result);
        ASSERT_EQ(out.w, 8);
        ASSERT_EQ(out.h, 4);
        int wrong = 0;
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 8; ++x) {
                const Rgb expected =
                    c.maskShows && x < 4 ? patternColour(x, y) : invertedByte(patternColour(x, y));
                wrong += !(out.at(x, y) == expected);
            }
        EXPECT_EQ(wrong, 0);
    }
}

TEST_F(Rendering, MaskBackgroundFollowsTheSource) {
    auto m = makeManager();
    TestEffect& e0 = effect(*m, "E0");
    e0.pixel = inverted;
    const auto other = [](int x, int y) { return Rgb{uint8_t(90 + x), uint8_t(y), 250}; };
    m->setOriginalImage(makeSourceImage(8, 4, patternColour));
    m->setMask(halvesMask(8, 4));
    FakeManagerDelegate d;
    m->generateImageForPostProcess(&e0, false, &d);
    ASSERT_TRUE(pumpUntil([&] { return d.finishes.size() == 1; }));
    EXPECT_EQ(m->maskCashedProperties().count("{8, 4}"), 1u);

    m->setOriginalImage(makeSourceImage(8, 4, other));
    EXPECT_TRUE(m->maskCashedProperties().empty());
    m->generateImageForPostProcess(&e0, false, &d);
    ASSERT_TRUE(pumpUntil([&] { return d.finishes.size() == 2; }));
    const ImagePixels out = pixelsOf(d.finishes[1].result);
    EXPECT_TRUE(out.at(1, 2) == other(1, 2));
    EXPECT_TRUE(out.at(6, 2) == invertedByte(other(6, 2)));
}

// A thumbnail is smaller than the mask: mask and background are scaled to it.
TEST_F(Rendering, MaskIsScaledToSmallerResults) {
    auto m = makeManager();
    TestEffect& e0 = effect(*m, "E0");
    e0.pixel = inverted;
    // 2 x 2 blocks of one colour, so the halved background is exact.
    const auto blocks = [](int x, int y) { return patternColour(x / 2, y / 2); };
    m->setOriginalImage(makeSourceImage(900, 800, blocks));
    m->setMask(halvesMask(900, 800));
    m->pushEffectForGenerating(&e0);
    ASSERT_TRUE(pumpUntil([&] { return e0.previewImage() != nullptr; }));
    const ImagePixels thumb = pixelsOf(e0.previewImage());
    ASSERT_EQ(thumb.w, 450);
    ASSERT_EQ(thumb.h, 400);
    EXPECT_EQ(m->maskCashedProperties().count("{450, 400}"), 1u);
    int wrong = 0;
    for (int y = 0; y < 400; y += 7)
        for (int x = 0; x < 450; x += 3) {
            if (x > 220 && x < 230) continue; // the mask's edge is resampled
            const Rgb source = patternColour(x, y);
            wrong += !(thumb.at(x, y) == (x < 225 ? source : invertedByte(source)));
        }
    EXPECT_EQ(wrong, 0);
}

TEST_F(Rendering, MaskChangesAreUndoable) {
    auto m = makeManager();
    foundation::UndoManager undo;
    FakeManagerDelegate d;
    d.undo = &undo;
    m->setDelegate(&d);
    m->setUndoManager(&undo);
    int stackChanged = 0, hideChanged = 0;
    auto& center = foundation::NotificationCenter::defaultCenter();
    center.addObserver(this, UndoManagerStackChanged, nullptr,
                       [&](const foundation::Notification&) { ++stackChanged; });
    center.addObserver(this, PostProcessesManagerHideMaskDidChange, nullptr,
                       [&](const foundation::Notification&) { ++hideChanged; });
    TestEffect& e0 = effect(*m, "E0");
    TestEffect& frame = effect(*m, "Frame");
    const graphics::ImagePtr thumbnail = makeSourceImage(2, 2, patternColour);
    e0.setPreviewImage(thumbnail);
    frame.setPreviewImage(thumbnail);
    const coreimage::ImagePtr a = halvesMask(8, 4), b = halvesMask(8, 4);

    m->setHideMask(true);
    RunLoop::runOnce();
    EXPECT_EQ(hideChanged, 1);
    m->setMask(a);
    RunLoop::runOnce();
    EXPECT_FALSE(m->hideMask());
    EXPECT_EQ(e0.previewImage(), nullptr);
    EXPECT_EQ(frame.previewImage(), thumbnail);
    m->setMask(b);
    RunLoop::runOnce();
    EXPECT_EQ(m->recentMask(), a);
    EXPECT_EQ(stackChanged, 4); // hide, show, a, b
    m->setMask(b);
    EXPECT_EQ(stackChanged, 4);

    undo.undo();
    EXPECT_EQ(m->mask(), a);
    undo.undo();
    EXPECT_EQ(m->mask(), nullptr);
    EXPECT_TRUE(m->hideMask());
    undo.redo();
    EXPECT_EQ(m->mask(), a);
    EXPECT_FALSE(m->hideMask());
    center.removeObserver(this);
}

// ---- Presets ----

TEST_F(Rendering, PreviewChainRunsLaterStepsOverTheFirstStepsPreview) {
    struct Case {
        const char* name;
        bool wholeFirstStep;
    };
    for (const Case c : {Case{"per-pixel steps", false}, Case{"whole-image first step", true}}) {
        SCOPED_TRACE(c.name);
        auto m = makeManager();
        TestEffect& e0 = effect(*m, "E0");
        TestEffect& e1 = effect(*m, "E1");
        if (c.wholeFirstStep)
            e0.whole = [](const graphics::ImagePtr& image) {
                return makeSourceImage(image->width() / 3, image->height() / 3, patternColour);
            };
        else
            e0.pixel = inverted;
        // Reads its right-hand neighbour, so a step run at the wrong size shows.
        e1.pixel = [](int32_t x, int32_t y, int32_t) { return PostProcess::get_source_pixel(x + 1, y); };
        m->setOriginalImage(makeSourceImage(1300, 960, patternColour));
        FakeManagerDelegate d;
        m->generateImageForPreset(presetOf({record("E0"), record("E1")}), true, &d);
        ASSERT_TRUE(pumpUntil([&] { return !d.finishes.empty(); }));
        EXPECT_FALSE(PostProcess::g_global_pre_inited);
        EXPECT_EQ(PostProcess::gp_data, nullptr);
        const graphics::ImagePtr chain = d.finishes[0].result;

        m->generateImageForPostProcess(&e0, true, &d);
        ASSERT_TRUE(pumpUntil([&] { return d.finishes.size() == 2; }));
        PostProcess::global_clean();
        const graphics::ImagePtr reference = m->getProcessedImageForPostProcess(&e1, d.finishes[1].result);
        ASSERT_NE(chain, nullptr);
        ASSERT_NE(reference, nullptr);
        EXPECT_EQ(chain->width(), c.wholeFirstStep ? 433 : 650);
        const ImagePixels a = pixelsOf(chain), b = pixelsOf(reference);
        EXPECT_EQ(a.w, b.w);
        EXPECT_EQ(a.h, b.h);
        EXPECT_TRUE(a.rgba == b.rgba);
    }
}

// Steps after the second run over the working image the step before replaced: a preview or a
// thumbnail of three per-pixel steps is each step in turn over the first step's reduced result.
TEST_F(Rendering, ChainsOfThreeOrMorePerPixelStepsPreviewAndMakeThumbnails) {
    for (const int steps : {3, 4}) {
        SCOPED_TRACE(steps);
        auto m = makeManager();
        TestEffect& e0 = effect(*m, "E0");
        TestEffect& e1 = effect(*m, "E1");
        TestEffect& e2 = effect(*m, "E2");
        TestEffect& e3 = effect(*m, "E3");
        e0.pixel = inverted;
        e1.pixel = [](int32_t x, int32_t y, int32_t) { return PostProcess::get_source_pixel(x + 1, y); };
        e2.pixel = [](int32_t x, int32_t y, int32_t) {
            const pixel_t s = PostProcess::get_source_pixel(x, y);
            return pixel_t{s.g, s.b, s.r};
        };
        e3.pixel = [](int32_t x, int32_t y, int32_t) { return PostProcess::get_source_pixel(x, y + 1); };
        std::vector<EffectRecord> records = {record("E0"), record("E1"), record("E2")};
        if (steps == 4) records.push_back(record("E3"));
        const auto preset = presetOf(records);
        m->setOriginalImage(makeSourceImage(1300, 960, patternColour));

        FakeManagerDelegate d;
        m->generateImageForPreset(preset, true, &d);
        ASSERT_TRUE(pumpUntil([&] { return !d.finishes.empty(); }));
        const graphics::ImagePtr chain = d.finishes[0].result;
        ASSERT_NE(chain, nullptr);
        EXPECT_EQ(preset->previewImage(), chain);

        preset->setPreviewImage(nullptr);
        m->cancelGeneratingImage();
        m->pushPresetForGenerating(preset);
        ASSERT_TRUE(pumpUntil([&] { return m->stackEffects().empty(); }));
        const graphics::ImagePtr thumbnail = preset->previewImage();
        ASSERT_NE(thumbnail, nullptr);
        m->cancelGeneratingImage();
        m->pushEffectForGenerating(&e0);
        ASSERT_TRUE(pumpUntil([&] { return m->stackEffects().empty(); }));
        const graphics::ImagePtr firstThumbnail = e0.previewImage();

        // The later steps over the first step's result, one at a time.
        m->generateImageForPostProcess(&e0, true, &d);
        ASSERT_TRUE(pumpUntil([&] { return d.finishes.size() == 2; }));
        for (const auto& [start, expected] :
             {std::pair{d.finishes[1].result, chain}, std::pair{firstThumbnail, thumbnail}}) {
            graphics::ImagePtr reference = start;
            for (int i = 1; i < steps; ++i) {
                PostProcess::global_clean();
                reference =
                    m->getProcessedImageForPostProcess(&effect(*m, "E" + std::to_string(i)), reference);
            }
            ASSERT_NE(reference, nullptr);
            const ImagePixels a = pixelsOf(expected), b = pixelsOf(reference);
            EXPECT_EQ(a.w, b.w);
            EXPECT_EQ(a.h, b.h);
            EXPECT_TRUE(a.rgba == b.rgba);
        }
        PostProcess::global_clean();
    }
}

TEST_F(Rendering, PresetStepsBorrowValuesAndGiveThemBack) {
    auto m = makeManager();
    TestEffect& e0 = effect(*m, "E0");
    TestEffect& e1 = effect(*m, "E1");
    e1.centerSupported = true;
    std::map<std::string, std::vector<double>> seen;
    for (TestEffect* e : {&e0, &e1})
        e->onPrepare = [e, &seen] {
            seen[e->get_name()] = {e->param_1()->value(), e->param_2()->value(), e->effectCenter().x,
                                   e->effectCenter().y};
        };
    e0.param_1()->setValue(1);
    e0.param_2()->setValue(2);
    e1.param_1()->setValue(3);
    e1.param_2()->setValue(4);
    e1.setEffectCenter({0.25, 0.75});
    const auto preset = presetOf({
        {{"EffectName", "E0"}, {"Param1NumberValue", 30.0}},
        {{"EffectName", "E1"},
         {"Param1NumberValue", 40.0},
         {"Param2NumberValue", 50.0},
         {"CenterEffectXValueKey", 0.1},
         {"CenterEffectYValueKey", 0.2}},
    });
    const auto expectGivenBack = [&] {
        EXPECT_EQ(e0.param_1()->value(), 1);
        EXPECT_EQ(e0.param_2()->value(), 2);
        EXPECT_EQ(e1.param_1()->value(), 3);
        EXPECT_EQ(e1.param_2()->value(), 4);
        EXPECT_EQ(e1.effectCenter().x, 0.25);
        EXPECT_EQ(e1.effectCenter().y, 0.75);
    };
    const std::map<std::string, std::vector<double>> expected = {
        {"E0", {30, 2, 0.5, 0.5}}, {"E1", {40, 50, double(0.1f), double(0.2f)}}};

    const graphics::ImagePtr source = makeSourceImage(8, 4, patternColour);
    m->setOriginalImage(source);
    FakeManagerDelegate d;
    m->generateImageForPreset(preset, false, &d);
    ASSERT_TRUE(pumpUntil([&] { return !d.finishes.empty(); }));
    EXPECT_EQ(seen, expected);
    expectGivenBack();

    seen.clear();
    PostProcess::global_clean();
    EXPECT_NE(m->getProcessedImageForPreset(preset, source), nullptr);
    EXPECT_EQ(seen, expected);
    expectGivenBack();

    // Cancelled in its second step.
    std::atomic<bool> go{false}, reached{false};
    e1.onPrepare = holdUntil(go, &reached);
    m->generateImageForPreset(preset, false, &d);
    ASSERT_TRUE(waitFor([&] {
        RunLoop::runOnce();
        return reached.load();
    }));
    m->cancelGeneratingImage();
    expectGivenBack();
}

TEST_F(Rendering, PresetStepsNamingUnknownEffectsAreSkipped) {
    auto m = makeManager();
    effect(*m, "E0").pixel = inverted;
    const graphics::ImagePtr source = makeSourceImage(8, 4, patternColour);
    m->setOriginalImage(source);
    const auto unknownOnly = presetOf({record("Imported Look")});
    const auto mixed = presetOf({record("Imported Look"), record("E0")});

    EXPECT_EQ(m->getProcessedImageForPreset(unknownOnly, source), source);
    FakeManagerDelegate d;
    m->generateImageForPreset(unknownOnly, false, &d);
    ASSERT_TRUE(pumpUntil([&] { return d.finishes.size() == 1; }));
    EXPECT_EQ(d.finishes[0].result, source);
    m->generateImageForPreset(mixed, false, &d);
    ASSERT_TRUE(pumpUntil([&] { return d.finishes.size() == 2; }));
    EXPECT_TRUE(pixelsOf(d.finishes[1].result).at(2, 1) == invertedByte(patternColour(2, 1)));

    m->cancelGeneratingImage();
    m->pushPresetForGenerating(unknownOnly);
    m->pushPresetForGenerating(mixed);
    ASSERT_TRUE(pumpUntil([&] { return m->stackEffects().empty(); }));
    EXPECT_EQ(unknownOnly->previewImage(), source);
    EXPECT_NE(mixed->previewImage(), nullptr);
}

// ---- Races and cancel ----

// The first run's end is queued when the same effect is started again; it must not pass for the
// second run's.
TEST_F(Rendering, AnEarlierRunsEndIsIgnored) {
    auto m = makeManager();
    TestEffect& e0 = effect(*m, "E0");
    std::atomic<int> runs{0};
    std::atomic<bool> firstEnded{false}, go{false}, secondReached{false};
    e0.onPrepare = [&] {
        if (++runs == 2) holdUntil(go, &secondReached)();
    };
    e0.onEnded = [&] { firstEnded = true; };
    e0.pixel = [&](int32_t, int32_t, int32_t) {
        const float v = runs.load() == 1 ? 0.2f : 0.8f;
        return pixel_t{v, v, v};
    };
    m->setOriginalImage(makeSourceImage(40, 30, patternColour));
    FakeManagerDelegate d;
    m->generateImageForPostProcess(&e0, true, &d);
    waitUntilRunLeft(e0, firstEnded);

    m->generateImageForPostProcess(&e0, true, &d);
    ASSERT_TRUE(waitFor([&] { return secondReached.load(); }));
    RunLoop::runOnce(); // the first run's end
    EXPECT_TRUE(d.finishes.empty());
    go = true;
    ASSERT_TRUE(pumpUntil([&] { return !d.finishes.empty(); }));
    for (int i = 0; i < 5; ++i)
        RunLoop::runOnce();
    ASSERT_EQ(d.finishes.size(), 1u);
    EXPECT_EQ(runs.load(), 2);
    EXPECT_TRUE(pixelsOf(d.finishes[0].result).at(5, 5) == (Rgb{204, 204, 204}));
    EXPECT_EQ(e0.previewEnters.load(), 1); // the same effect previewed again is not re-entered
    EXPECT_EQ(e0.previewExits.load(), 0);
}

// Cancelled before its thread got into the run: the run never starts, and the next one runs alone.
TEST_F(Rendering, CancelBeforeTheWorkerStarts) {
    auto m = makeManager();
    TestEffect& e0 = effect(*m, "E0");
    std::atomic<int> prepares{0};
    e0.onPrepare = [&] { ++prepares; };
    m->setOriginalImage(makeSourceImage(40, 30, patternColour));
    RunRecorder recorder;

    // The delegate is asked for its frame after the effect was prepared and before its thread is
    // started: the run's lock is taken away from it there, so the thread waits at the run's door.
    std::atomic<bool> lockNow{false}, held{false}, letGo{false};
    Thread holder([&] {
        waitFor([&] { return lockNow.load(); });
        std::lock_guard lock(e0.lock());
        held = true;
        waitFor([&] { return letGo.load(); });
    });
    struct LockingDelegate : FakeManagerDelegate {
        std::function<void()> onFrameQuestion;
        PostProcess* currentFrameEffect() override {
            if (onFrameQuestion) std::exchange(onFrameQuestion, nullptr)();
            return nullptr;
        }
    } d;
    d.onFrameQuestion = [&] {
        lockNow = true;
        waitFor([&] { return held.load(); });
    };
    m->generateImageForPostProcess(&e0, false, &d);
    ASSERT_TRUE(held.load());
    Thread releaser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        letGo = true;
    });
    m->cancelGeneratingImage(); // returns once the worker has left
    EXPECT_EQ(prepares.load(), 0);
    EXPECT_EQ(recorder.named("ProcessCancelled").size(), 1u);

    m->generateImageForPostProcess(&e0, false, &d);
    ASSERT_TRUE(pumpUntil([&] { return !d.finishes.empty(); }));
    EXPECT_EQ(prepares.load(), 1);
    EXPECT_EQ(d.finishes.size(), 1u);
}

// The editor's cancel: the notification, the manager's cancel, then the working image dropped
// at once.
TEST_F(Rendering, CancelDuringAFullSizeRender) {
    auto m = makeManager();
    TestEffect& e0 = effect(*m, "E0");
    std::atomic<bool> reached{false};
    e0.pixel = [&](int32_t x, int32_t, int32_t) {
        if (x == 100) {
            reached = true;
            waitFor([] { return Thread::current().isCancelled(); });
        }
        return pixel_t{0.5f, 0.5f, 0.5f};
    };
    m->setOriginalImage(makeSourceImage(400, 300, patternColour));
    RunRecorder recorder;
    FakeManagerDelegate d;
    m->generateImageForPostProcess(&e0, false, &d);
    ASSERT_TRUE(waitFor([&] { return reached.load(); }));
    foundation::NotificationCenter::defaultCenter().postNotificationName("processingAreCanceled");
    m->cancelGeneratingImage();
    PostProcess::global_clean();
    for (int i = 0; i < 5; ++i)
        RunLoop::runOnce();
    EXPECT_EQ(recorder.named("ProcessCancelled").size(), 1u);
    EXPECT_TRUE(recorder.named("EndProcess").empty());
    EXPECT_TRUE(d.finishes.empty());
    EXPECT_TRUE(m->isGeneratingOn());
}

// A cancel that comes after the run installed its output: later previews start from the source.
TEST_F(Rendering, CancelAfterTheOutputWasInstalled) {
    auto m = makeManager();
    TestEffect& e0 = effect(*m, "E0");
    TestEffect& e1 = effect(*m, "E1");
    std::atomic<bool> ended{false};
    e0.pixel = inverted;
    e0.onEnded = [&] { ended = true; };
    e1.pixel = [](int32_t x, int32_t y, int32_t) { return PostProcess::get_source_pixel(x, y); };
    m->setOriginalImage(makeSourceImage(40, 30, patternColour));
    FakeManagerDelegate d;
    m->generateImageForPostProcess(&e0, false, &d);
    waitUntilRunLeft(e0, ended);
    m->cancelGeneratingImage();

    m->generateImageForPostProcess(&e1, true, &d);
    ASSERT_TRUE(pumpUntil([&] { return !d.finishes.empty(); }));
    ASSERT_EQ(d.finishes.size(), 1u);
    EXPECT_EQ(d.finishes[0].effect, &e1);
    EXPECT_TRUE(pixelsOf(d.finishes[0].result).at(7, 3) == patternColour(7, 3));
}

// ---- Run states ----

// A delegate that notes where the manager's runs stood at each finish and each progress report.
struct StateRecorder : FakeManagerDelegate {
    std::vector<RenderRunState::State> seen, whileReporting;
    void finishPostProcess(PostProcessesManager& m, PostProcess* effect, graphics::ImagePtr result,
                           graphics::ImagePtr beforeFrame, bool isPreview) override {
        seen.push_back(m.runState());
        FakeManagerDelegate::finishPostProcess(m, effect, std::move(result), std::move(beforeFrame),
                                               isPreview);
    }
    void finishPreset(PostProcessesManager& m, const std::shared_ptr<CustomPreset>& preset,
                      graphics::ImagePtr result, graphics::ImagePtr beforeFrame, bool isPreview) override {
        seen.push_back(m.runState());
        FakeManagerDelegate::finishPreset(m, preset, std::move(result), std::move(beforeFrame), isPreview);
    }
    void didChangedProgress(PostProcessesManager& m, int64_t value) override {
        whileReporting.push_back(m.runState());
        FakeManagerDelegate::didChangedProgress(m, value);
    }
};

// A render ends once, in the state of its outcome, settled before the delegate hears of it. Neither
// a late copy of its last notification nor a cancel after its end ends it again.
TEST_F(Rendering, ARenderEndsOnceInTheStateOfItsOutcome) {
    using State = RenderRunState::State;
    struct Case {
        const char* name;
        bool fails;
        bool cancel;
        State end;
    };
    const Case cases[] = {
        {"finished", false, false, State::Finished},
        {"failed", true, false, State::Failed},
        {"cancelled", false, true, State::Cancelled},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto m = makeManager();
        TestEffect& e0 = effect(*m, "E0");
        std::atomic<bool> go{false}, reached{false};
        e0.onPrepare = holdUntil(go, &reached);
        e0.failsPreparation = c.fails;
        m->setOriginalImage(makeSourceImage(8, 4, patternColour));
        RunRecorder recorder;
        StateRecorder d;
        EXPECT_EQ(m->runState(), State::Idle);
        m->generateImageForPostProcess(&e0, false, &d);
        EXPECT_EQ(m->runState(), State::Render);
        ASSERT_TRUE(waitFor([&] { return reached.load(); }));
        if (c.cancel)
            m->cancelGeneratingImage();
        else
            go = true;
        ASSERT_TRUE(pumpUntil([&] {
            return !recorder.named(c.cancel  ? "ProcessCancelled"
                                   : c.fails ? "ProcessFailed"
                                             : "EndProcess")
                        .empty();
        }));
        RunLoop::runOnce();
        EXPECT_EQ(m->runState(), c.end);
        const std::vector<State> told = c.cancel ? std::vector<State>{} : std::vector<State>{c.end};
        EXPECT_EQ(d.seen, told);

        for (const RunRecorder::Entry& e : recorder.entries())
            if (e.name != "progressChanged")
                foundation::NotificationCenter::defaultCenter().postNotificationName(e.name, e.object,
                                                                                     e.userInfo);
        m->cancelGeneratingImage();
        for (int i = 0; i < 3; ++i)
            RunLoop::runOnce();
        EXPECT_EQ(m->runState(), c.end);
        EXPECT_EQ(d.seen, told);
    }
}

// Each part of a render holds its own state while it reports: a look's main run and then its frame
// pass, a preset's steps as one chain and then its frame pass; thumbnails likewise.
TEST_F(Rendering, EachPartOfARenderHasItsState) {
    using State = RenderRunState::State;
    auto m = makeManager();
    for (const char* name : {"E0", "E1", "Frame"}) {
        TestEffect& e = effect(*m, name);
        e.whole = [&e](const graphics::ImagePtr& image) {
            e.report(50);
            return image;
        };
    }
    m->setOriginalImage(makeSourceImage(8, 4, patternColour));
    {
        StateRecorder d;
        d.frame = &effect(*m, "Frame");
        m->generateImageForPostProcess(&effect(*m, "E0"), false, &d);
        ASSERT_TRUE(pumpUntil([&] { return !d.finishes.empty(); }));
        EXPECT_EQ(d.whileReporting, (std::vector<State>{State::Render, State::FramePass}));
        EXPECT_EQ(d.seen, std::vector<State>{State::Finished});
    }
    {
        StateRecorder d;
        d.frame = &effect(*m, "Frame");
        m->generateImageForPreset(presetOf({record("E0"), record("E1")}), false, &d);
        ASSERT_TRUE(pumpUntil([&] { return !d.finishes.empty(); }));
        EXPECT_EQ(d.whileReporting,
                  (std::vector<State>{State::PresetRender, State::PresetRender, State::FramePass}));
        EXPECT_EQ(d.seen, std::vector<State>{State::Finished});
    }
    m->cancelGeneratingImage();
    TestEffect& e1 = effect(*m, "E1");
    m->pushEffectForGenerating(&e1);
    EXPECT_EQ(m->runState(), State::Thumbnail);
    ASSERT_TRUE(pumpUntil([&] { return e1.previewImage() != nullptr; }));
    EXPECT_EQ(m->runState(), State::Finished);
    const auto preset = presetOf({record("E0"), record("E1")});
    m->pushPresetForGenerating(preset);
    EXPECT_EQ(m->runState(), State::PresetThumbnail);
    ASSERT_TRUE(pumpUntil([&] { return preset->previewImage() != nullptr; }));
    EXPECT_EQ(m->runState(), State::Finished);
}

// ---- The working image between runs ----

// After a full-size render, the next run over the same photo reads the photo again, and gets its
// pixels back from the working image the render replaced rather than drawing them anew. Another
// photo, another preview quality or a working image made from another picture make it again.
TEST_F(Rendering, RunsAfterAFullSizeRenderReadTheSourceAgain) {
    auto m = makeManager();
    TestEffect& invert = effect(*m, "E0");
    TestEffect& copy = effect(*m, "E1");
    invert.pixel = inverted;
    copy.pixel = [](int32_t x, int32_t y, int32_t) { return PostProcess::get_source_pixel(x, y); };
    const auto other = [](int x, int y) { return Rgb{uint8_t(5 * x), uint8_t(250 - y), 60}; };
    const graphics::ImagePtr photo = makeSourceImage(40, 30, patternColour);
    m->setOriginalImage(photo);
    const auto thumbnailShows = [&](const std::function<Rgb(int, int)>& colour) {
        copy.setPreviewImage(nullptr);
        m->pushEffectForGenerating(&copy);
        if (!pumpUntil([&] { return copy.previewImage() != nullptr; })) return false;
        const ImagePixels thumb = pixelsOf(copy.previewImage());
        return thumb.w == 40 && thumb.at(7, 3) == colour(7, 3) && thumb.at(31, 22) == colour(31, 22);
    };
    const auto fullRender = [&] {
        FakeManagerDelegate d;
        m->generateImageForPostProcess(&invert, false, &d);
        const bool done = pumpUntil([&] { return !d.finishes.empty(); });
        m->cancelGeneratingImage();
        return done ? d.finishes[0].result : nullptr;
    };
    ASSERT_TRUE(thumbnailShows(patternColour));
    const uint8_t* photoPixels = PostProcess::gp_data;

    // Twice in a row: the second render inverts the photo, not the first render's result.
    for (int i = 0; i < 2; ++i) {
        const graphics::ImagePtr result = fullRender();
        ASSERT_NE(result, nullptr);
        EXPECT_TRUE(pixelsOf(result).at(7, 3) == invertedByte(patternColour(7, 3))) << i;
    }
    EXPECT_TRUE(thumbnailShows(patternColour));
    EXPECT_EQ(PostProcess::gp_data, photoPixels);

    // A batch picture leaves a working image of its own behind.
    const graphics::ImagePtr batch = makeSourceImage(40, 30, other);
    ASSERT_NE(m->getProcessedImageForBatch(&invert, nullptr, batch), nullptr);
    m->cancelGeneratingImage();
    EXPECT_TRUE(thumbnailShows(patternColour));

    ASSERT_NE(fullRender(), nullptr);
    m->setOriginalImage(makeSourceImage(40, 30, other));
    EXPECT_TRUE(thumbnailShows(other));
}

// Previews follow a preview quality changed after a full-size render.
TEST_F(Rendering, APreviewAfterAFullSizeRenderFollowsTheQuality) {
    auto m = makeManager();
    TestEffect& e0 = effect(*m, "E0");
    m->setOriginalImage(makeSourceImage(1600, 1200, patternColour));
    const auto render = [&](bool preview) {
        FakeManagerDelegate d;
        m->generateImageForPostProcess(&e0, preview, &d);
        const bool done = pumpUntil([&] { return !d.finishes.empty(); });
        m->cancelGeneratingImage();
        return done && d.finishes[0].result ? d.finishes[0].result->width() : 0;
    };
    EXPECT_EQ(render(true), 800); // 640 x 480: every second pixel
    EXPECT_EQ(render(false), 1600);
    PostProcess::g_preview_quality = 2; // 1024 x 768: every pixel
    EXPECT_EQ(render(true), 1600);
}

// ---- Preview quality ----

TEST_F(Rendering, PreviewQualityComesFromTheSetting) {
    struct Case {
        std::optional<std::string> stored;
        int32_t expected;
        bool changed;
    };
    const Case cases[] = {
        {"Low", 0, true},    {"Normal", 1, false},    {"High", 2, true},
        {"Ultra", 1, false}, {std::nullopt, 2, true},
    };
    foundation::UserDefaults& defaults = foundation::UserDefaults::standardUserDefaults();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored.value_or("absent"));
        quality.set(1);
        if (c.stored)
            defaults.setObject(*c.stored, "k_Preview_Quality");
        else
            defaults.removeObjectForKey("k_Preview_Quality");
        EXPECT_EQ(validatePreviewQualityParametr(), c.changed);
        EXPECT_EQ(PostProcess::g_preview_quality, c.expected);
        EXPECT_EQ(defaults.stringForKey("k_Preview_Quality"), c.stored.value_or("High"));
    }
    defaults.synchronize(); // while the test's folder exists
}

} // namespace
