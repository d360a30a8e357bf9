// Every look of the program's catalogue rendered through the manager on a photograph-like picture
// of six megapixels with fine detail: as a thumbnail, in preview and at full size. The three must
// show the same picture: each is reduced by area to the thumbnail's size and compared. One test per
// look, named by its position, so that they run side by side. (Making effects while tests are
// listed would fix the process's bundles before a test can choose its own.)
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
#include <tuple>
#include <vector>

namespace {

constexpr int kWidth = 3000, kHeight = 2004;
// "Low" preview quality: the 640 x 480 target gives this picture a preview step of 4 (2004 / 480
// floored) and a thumbnail step of 5 (2004 / 400 floored).
constexpr int kPreviewStep = 4, kThumbnailStep = 5;

uint8_t clampByte(double v) {
    return uint8_t(std::clamp(v, 0.0, 255.0));
}

// Deterministic noise in -1 .. 1 per pixel: the grain of a real photograph.
double grain(int x, int y) {
    uint32_t h = uint32_t(x) * 0x9E3779B1u ^ uint32_t(y) * 0x85EBCA77u;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    return double(h & 0xFFFF) / 32767.5 - 1.0;
}

// A sky that fades towards the horizon, grassy ground with fine texture, a face in skin tones with
// soft shading, a dark building with lit windows (hard edges), a row of saturated patches, a
// fabric of fine stripes two to three pixels apart (finer than the thumbnail's step, so a
// thumbnail that samples instead of averaging shows stripes of its own) and grain everywhere.
Rgb photoColour(int x, int y) {
    const double u = double(x) / kWidth, v = double(y) / kHeight;
    double r, g, b;
    if (v < 0.55) {
        r = 80 + 150 * v;
        g = 130 + 120 * v;
        b = 235 - 40 * v;
    } else {
        const double t = std::sin(x * 0.21) * std::sin(y * 0.17) + 0.5 * std::sin(x * 0.05 + y * 0.03) +
                         0.6 * std::sin(x * 1.9 + y * 0.7);
        r = 85 + 30 * t + 80 * (v - 0.55);
        g = 115 + 35 * t;
        b = 45 + 15 * t;
    }
    if (u > 0.62 && u < 0.9 && v > 0.22 && v < 0.8) {
        const bool window = (x / 60) % 2 == 0 && (y / 80) % 2 == 0;
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
    if (u > 0.04 && u < 0.16 && v > 0.1 && v < 0.5) {
        const bool stripe = (x + y / 3) % 5 < 2;
        r = stripe ? 210 : 50;
        g = stripe ? 60 : 40;
        b = stripe ? 70 : 120;
    }
    const double n = 6 * grain(x, y);
    return {clampByte(r + n), clampByte(g + n), clampByte(b + n)};
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

// A picture's colour as doubles, r g b a pixel, reduced by area (every source pixel weighs by how
// much of it an output pixel covers) to w x h.
struct Plane {
    int width = 0, height = 0;
    std::vector<double> rgb;
    const double* at(int x, int y) const { return &rgb[(size_t(y) * size_t(width) + size_t(x)) * 3]; }
};

// Weights of source pixels 0 .. n - 1 for output pixels 0 .. m - 1: (output, source, weight).
std::vector<std::tuple<int, int, double>> areaWeights(int n, int m) {
    std::vector<std::tuple<int, int, double>> weights;
    const double scale = double(n) / m;
    for (int o = 0; o < m; ++o) {
        const double lo = o * scale, hi = (o + 1) * scale;
        for (int s = int(lo); s < n && s < hi; ++s) {
            const double cover = std::min(hi, double(s + 1)) - std::max(lo, double(s));
            if (cover > 0) weights.emplace_back(o, s, cover / scale);
        }
    }
    return weights;
}

Plane reducedByArea(const std::vector<uint8_t>& rgba, int width, int height, int w, int h) {
    const auto across = areaWeights(width, w), down = areaWeights(height, h);
    std::vector<double> rows(size_t(w) * size_t(height) * 3, 0.0);
    for (int y = 0; y < height; ++y)
        for (const auto& [o, s, wt] : across)
            for (int c = 0; c < 3; ++c)
                rows[(size_t(y) * size_t(w) + size_t(o)) * 3 + size_t(c)] +=
                    wt * rgba[(size_t(y) * size_t(width) + size_t(s)) * 4 + size_t(c)];
    Plane out{w, h, std::vector<double>(size_t(w) * size_t(h) * 3, 0.0)};
    for (const auto& [o, s, wt] : down)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c)
                out.rgb[(size_t(o) * size_t(w) + size_t(x)) * 3 + size_t(c)] +=
                    wt * rows[(size_t(s) * size_t(w) + size_t(x)) * 3 + size_t(c)];
    return out;
}

// The largest difference of the mean of one channel.
double meanDifference(const Plane& a, const Plane& b) {
    double worst = 0;
    for (int c = 0; c < 3; ++c) {
        double sa = 0, sb = 0;
        for (size_t i = size_t(c); i < a.rgb.size(); i += 3) {
            sa += a.rgb[i];
            sb += b.rgb[i];
        }
        worst = std::max(worst, std::abs(sa - sb) / double(a.rgb.size() / 3));
    }
    return worst;
}

// Coarse structure: the mean absolute difference of the 8 x 8 block means, over blocks and
// channels. Blurs every difference finer than a block, keeps where light and colour lie.
double blockDifference(const Plane& a, const Plane& b) {
    constexpr int kBlock = 8;
    double total = 0;
    int count = 0;
    for (int by = 0; by + kBlock <= a.height; by += kBlock)
        for (int bx = 0; bx + kBlock <= a.width; bx += kBlock)
            for (int c = 0; c < 3; ++c) {
                double sa = 0, sb = 0;
                for (int y = by; y < by + kBlock; ++y)
                    for (int x = bx; x < bx + kBlock; ++x) {
                        sa += a.at(x, y)[c];
                        sb += b.at(x, y)[c];
                    }
                total += std::abs(sa - sb) / (kBlock * kBlock);
                ++count;
            }
    return total / count;
}

const Plane& reducedPhotograph(int w, int h) {
    static const Plane plane = reducedByArea(rgbaOf(photograph()), kWidth, kHeight, w, h);
    return plane;
}

// The share of pixels of a result, reduced to the thumbnail's size, that differ by more than 2 in
// some channel from the photograph reduced alike.
double changedShare(const Plane& result) {
    const Plane& source = reducedPhotograph(result.width, result.height);
    size_t changed = 0;
    for (size_t i = 0; i < result.rgb.size(); i += 3) {
        bool differs = false;
        for (size_t c = 0; c < 3; ++c)
            differs |= std::abs(result.rgb[i + c] - source.rgb[i + c]) > 2.0;
        changed += differs;
    }
    return double(changed) / double(result.rgb.size() / 3);
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

// How far a thumbnail or preview may stray from the full-size result, both reduced by area to the
// thumbnail's size, in levels of 255: the mean colour by 3, and the block measure by 6. A reduced
// render is made from a reduced source, so outlines and flat areas that follow edges move by up
// to a source step (a thumbnail pixel): at the picture's hard edges that changes block means by
// tens of levels but leaves most blocks alone; the whole picture moved by one thumbnail pixel gives
// about 4. Looks whose strokes or grain are random by place are held to the same bounds: reduced
// to the thumbnail, their randomness averages out.
struct Bound {
    double mean, blocks;
};
constexpr Bound kBound{3.0, 6.0};

// Looks that answer to detail finer than a thumbnail pixel, which a reduced source no longer holds:
// at full size the fixture's grain and fine stripes change their tone pixel by pixel, and reduced,
// the full-size result keeps the mean of those changes.
Bound boundFor(const std::string& look) {
    // Contrast and saturation clip the stripes (50 and 210) at full size, not their mean.
    if (look == "Alien Skin") return {4.0, kBound.blocks};
    // The outlines darken every pixel darker than its neighbours: the grain sets them off at
    // full size everywhere.
    if (look == "Comix Halftone") return {4.0, kBound.blocks};
    // Hard brightness thresholds choose the hatching: grain and stripes cross them pixel by pixel.
    if (look == "Pen Sketch" || look == "Old Sketch") return {6.0, 7.0};
    return kBound;
}

// The thumbnail, then a preview, then the full-size result, as the browser and the editor ask.
TEST_P(CatalogueLook, RendersAsThumbnailPreviewAndFullSizeAlike) {
    PostProcessesManager manager(PostProcessesManager::catalogueEntries());
    PostProcess* effect = manager.postProcesses()[size_t(GetParam())].get();
    const std::string look = effect->get_name();
    SCOPED_TRACE(look);
    RunRecorder recorder;
    manager.setOriginalImage(photograph());

    struct Render {
        const char* kind;
        int step;
    };
    const Render renders[] = {{"thumbnail", kThumbnailStep}, {"preview", kPreviewStep}, {"full size", 1}};
    const int thumbW = (kWidth + kThumbnailStep - 1) / kThumbnailStep;
    const int thumbH = (kHeight + kThumbnailStep - 1) / kThumbnailStep;
    FakeManagerDelegate delegate;
    size_t ends = 0;
    std::vector<Plane> reduced;
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
        EXPECT_EQ(result->width(), (kWidth + r.step - 1) / r.step);
        EXPECT_EQ(result->height(), (kHeight + r.step - 1) / r.step);
        reduced.push_back(reducedByArea(rgbaOf(result), result->width(), result->height(), thumbW, thumbH));
        EXPECT_GE(changedShare(reduced.back()), 0.5) << look << " changes most of the picture";
    }
    EXPECT_TRUE(recorder.named("ProcessFailed").empty());
    EXPECT_TRUE(recorder.named("ProcessCancelled").empty());
    const Plane& full = reduced[2];
    const Bound bound = boundFor(look);
    for (size_t i = 0; i < 2; ++i) {
        const double mean = meanDifference(reduced[i], full), blocks = blockDifference(reduced[i], full);
        RecordProperty(std::string(renders[i].kind) + " mean", std::to_string(mean));
        RecordProperty(std::string(renders[i].kind) + " blocks", std::to_string(blocks));
        EXPECT_LE(mean, bound.mean) << look << ": the " << renders[i].kind
                                    << "'s mean colour differs from the full-size result's";
        EXPECT_LE(blocks, bound.blocks) << look << ": the " << renders[i].kind
                                        << "'s coarse structure differs from the full-size result's";
    }
}

INSTANTIATE_TEST_SUITE_P(Catalogue, CatalogueLook,
                         ::testing::Range(0, int(PostProcessesManager::catalogueEntries().size())));
