// Every look of the program's catalogue rendered through the manager on a photograph-like picture
// of two megapixels: as a thumbnail, in preview and at full size. One test per look, named by its
// position, so that they run side by side. (Making effects while tests are listed would fix the
// process's bundles before a test can choose its own.)
#include "engine/PostProcessesManager.h"

#include "engine/PostProcess.h"
#include "platform/foundation/RunLoop.h"
#include "platform/graphics/PixelConversion.h"

#include "support/FakeManagerDelegate.h"
#include "support/ScopedEnvironment.h"
#include "support/ScopedValue.h"
#include "support/StubEffects.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kWidth = 1800, kHeight = 1120;
// "Low" preview quality: the 640 x 480 target gives these pictures a step of 2 (1120 / 480 floored);
// thumbnails sample every 2nd pixel too (1120 / 400 floored).
constexpr int kPreviewStep = 2;
constexpr int kPreviewWidth = kWidth / kPreviewStep, kPreviewHeight = kHeight / kPreviewStep;

uint8_t clampByte(double v) {
    return uint8_t(std::clamp(v, 0.0, 255.0));
}

// A sky that fades towards the horizon, grassy ground with fine texture, a face in skin tones with
// soft shading, a dark building with lit windows (hard edges) and a row of saturated patches.
Rgb photoColour(int x, int y) {
    const double u = double(x) / kWidth, v = double(y) / kHeight;
    double r, g, b;
    if (v < 0.55) {
        r = 80 + 150 * v;
        g = 130 + 120 * v;
        b = 235 - 40 * v;
    } else {
        const double t = std::sin(x * 0.21) * std::sin(y * 0.17) + 0.5 * std::sin(x * 0.05 + y * 0.03);
        r = 85 + 30 * t + 80 * (v - 0.55);
        g = 115 + 35 * t;
        b = 45 + 15 * t;
    }
    if (u > 0.62 && u < 0.9 && v > 0.22 && v < 0.8) {
        const bool window = (x / 36) % 2 == 0 && (y / 48) % 2 == 0;
        r = window ? 245 : 62;
        g = window ? 215 : 60;
        b = window ? 140 : 66;
    }
    const double dx = (u - 0.3) / 0.12, dy = (v - 0.45) / 0.22, d = dx * dx + dy * dy;
    if (d < 1.0) {
        const double shade = 1.0 - 0.3 * d - 0.15 * dx;
        r = 228 * shade;
        g = 172 * shade;
        b = 142 * shade;
    }
    if (v > 0.84 && u < 0.58) {
        const int k = int(u * 12) % 4;
        r = k == 0 || k == 3 ? 235 : 20;
        g = k == 1 || k == 3 ? 205 : 25;
        b = k == 2 ? 225 : 30;
    }
    return {clampByte(r), clampByte(g), clampByte(b)};
}

const graphics::ImagePtr& photograph() {
    static const graphics::ImagePtr image = makeSourceImage(kWidth, kHeight, photoColour);
    return image;
}

std::vector<uint8_t> rgbaOf(const graphics::ImagePtr& image) {
    std::vector<uint8_t> rgba(size_t(image->width()) * size_t(image->height()) * 4);
    EXPECT_TRUE(graphics::convertPixels(image->data(), image->rowBytes(), image->format(), rgba.data(),
                                        size_t(image->width()) * 4, graphics::PixelFormat{}, image->width(),
                                        image->height()));
    return rgba;
}

// The share of result pixels that differ by more than 2 in some channel from the source pixel they
// stand for (every step-th pixel of the source).
double changedShare(const graphics::ImagePtr& result, int step) {
    const std::vector<uint8_t> out = rgbaOf(result);
    const int w = result->width(), h = result->height();
    size_t changed = 0;
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            const uint8_t* p = &out[(size_t(j) * size_t(w) + size_t(i)) * 4];
            const Rgb s = photoColour(i * step, j * step);
            if (std::abs(p[0] - s.r) > 2 || std::abs(p[1] - s.g) > 2 || std::abs(p[2] - s.b) > 2) ++changed;
        }
    return double(changed) / (double(w) * double(h));
}

class CatalogueLook : public ::testing::TestWithParam<int> {
  protected:
    void SetUp() override {
        environment.set("OPALENE_CONFIG_DIR", dir.file("config"));
        environment.set("OPALENE_DATA_DIR", dir.file("data"));
    }

    // "EndProcess" notifications whose object is the effect.
    size_t endsOf(const RunRecorder& recorder, const PostProcess* effect) const {
        size_t n = 0;
        for (const RunRecorder::Entry& e : recorder.named("EndProcess"))
            if (e.object.identity() == effect) ++n;
        return n;
    }

    // Lets the worker leave process() and whatever it queued reach the main thread.
    static void settle(PostProcess& effect) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!effect.lock().try_lock() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        effect.lock().unlock();
        for (int i = 0; i < 5; ++i)
            foundation::RunLoop::runOnce();
    }

    TemporaryDirectory dir;
    ScopedEnvironment environment;
    ScopedValue<int32_t> quality{PostProcess::g_preview_quality, 0};
    WorkingImageGuard guard;
};

} // namespace

// The thumbnail, then a preview, then the full-size result, as the browser and the editor ask.
TEST_P(CatalogueLook, RendersAsThumbnailPreviewAndFullSize) {
    PostProcessesManager manager(PostProcessesManager::catalogueEntries());
    PostProcess* effect = manager.postProcesses()[size_t(GetParam())].get();
    SCOPED_TRACE(effect->get_name());
    RunRecorder recorder;
    manager.setOriginalImage(photograph());

    struct Render {
        const char* kind;
        int width, height, step;
    };
    const Render renders[] = {
        {"thumbnail", kPreviewWidth, kPreviewHeight, kPreviewStep},
        {"preview", kPreviewWidth, kPreviewHeight, kPreviewStep},
        {"full size", kWidth, kHeight, 1},
    };
    FakeManagerDelegate delegate;
    size_t ends = 0;
    for (const Render& r : renders) {
        SCOPED_TRACE(r.kind);
        graphics::ImagePtr result;
        if (r.kind == std::string("thumbnail")) {
            manager.setGeneratingOn(true);
            manager.pushEffectForGenerating(effect);
            ASSERT_TRUE(
                foundation::RunLoop::runUntil([&] { return effect->previewImage() != nullptr; }, 600));
            result = effect->previewImage();
        } else {
            delegate.finishes.clear();
            manager.generateImageForPostProcess(effect, r.step > 1, &delegate);
            ASSERT_TRUE(foundation::RunLoop::runUntil([&] { return !delegate.finishes.empty(); }, 600));
            ASSERT_EQ(delegate.finishes.size(), 1u);
            EXPECT_EQ(delegate.finishes[0].effect, effect);
            result = delegate.finishes[0].result;
        }
        settle(*effect);
        EXPECT_EQ(endsOf(recorder, effect), ++ends) << "one EndProcess per render";
        ASSERT_NE(result, nullptr);
        EXPECT_EQ(result->width(), r.width);
        EXPECT_EQ(result->height(), r.height);
        EXPECT_GE(changedShare(result, r.step), 0.5) << "changes most of the picture";
    }
    EXPECT_TRUE(recorder.named("ProcessFailed").empty());
    EXPECT_TRUE(recorder.named("ProcessCancelled").empty());
}

INSTANTIATE_TEST_SUITE_P(Catalogue, CatalogueLook,
                         ::testing::Range(0, int(PostProcessesManager::catalogueEntries().size())));
