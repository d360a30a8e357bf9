// Every deterministic per-pixel look of the registered effect classes, run at full size and in
// preview on one thread and on four: both runs store the bytes of a plain column-by-column visit of
// the hooks.
#include "engine/LookRegistry.h"
#include "engine/PostProcess.h"
#include "engine/PostProcessParameter.h"
#include "engine/effects/adjustments/PP_SuperFilter.h"
#include "platform/graphics/ParallelRows.h"

#include "support/EffectRun.h"
#include "support/ScopedValue.h"
#include "support/StubEffects.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Look {
    std::string name;
    std::function<std::unique_ptr<PostProcess>()> make;
    bool independent; // whether its pixels may be shared among threads
};

// Whole-image looks make their result in one call: there are no hooks to visit.
std::vector<Look> looks() {
    std::vector<Look> out;
    for (const LookClass& c : LookRegistry::classes())
        for (int32_t type = 0; type < c.variants; ++type) {
            const uint32_t flags = c.flagsOf(type);
            if (!(flags & kLookDeterministic) || c.make(type, 0)->has_custom_process_function()) continue;
            out.push_back({c.typeName + " " + std::to_string(type), [&c, type] { return c.make(type, 0); },
                           (flags & kLookIndependentPixels) != 0});
        }
    // The adjustments at their defaults skip most of their stages.
    out.push_back({"PP_SuperFilter with most stages on",
                   [] {
                       auto e = std::make_unique<PP_SuperFilter>();
                       e->init({}, 0);
                       const std::pair<int, double> values[] = {
                           {PP_SuperFilter::kContrast, 1.3},
                           {PP_SuperFilter::kSaturation, 1.4},
                           {PP_SuperFilter::kHue, 0.1},
                           {PP_SuperFilter::kShadowAmount, 0.4},
                           {PP_SuperFilter::kHighlightAmount, 0.3},
                           {PP_SuperFilter::kSharpenAmount, 0.8},
                           {PP_SuperFilter::kBrightness, 0.6},
                           {PP_SuperFilter::kLevelsGamma, 0.6},
                           {PP_SuperFilter::kRed, 1.2},
                           {PP_SuperFilter::kExposure, 0.2},
                       };
                       for (const auto& [index, value] : values)
                           e->params()[size_t(index)]->setValue(value);
                       return std::unique_ptr<PostProcess>(std::move(e));
                   },
                   true});
    return out;
}

uint8_t toByte(float v) {
    if (v < 0.0f) return 0;
    if (v > 1.0f) return 255;
    if (v != v) return 0;
    return uint8_t(v * 255.0f);
}

// What a run over the fresh working image stores, with the hooks driven column by column, rows
// inner, every pass reading the source: the order the run loop was first written in.
std::vector<uint8_t> columnByColumn(PostProcess& effect, const graphics::ImagePtr& image, int previewStep) {
    PostProcess::global_clean();
    effect.prepare(image);
    EXPECT_TRUE(PostProcess::global_pre_init(image));
    const int width = PostProcess::g_width, height = PostProcess::g_height;
    const int step = previewStep > 0 ? previewStep : 1;
    if (previewStep > 0) {
        PostProcess::g_preview_step_x = PostProcess::g_preview_step_y = previewStep;
        PostProcess::g_preview_w = (width - 1) / previewStep + 1;
        PostProcess::g_preview_h = (height - 1) / previewStep + 1;
    }
    effect.set_preview_mode(previewStep > 0);
    effect.setIsSmallPreview(false);
    effect.set_silent_mode(true);
    effect.pre_init();
    effect.prepare_for_process();
    const int w = (width - 1) / step + 1, h = (height - 1) / step + 1;
    std::vector<uint8_t> out(size_t(w) * size_t(h) * 4);
    for (int32_t pass = 0; uint64_t(pass) < effect.passes(); ++pass) {
        effect.before_pass(pass);
        for (int x = 0; x < width; x += step)
            for (int y = 0; y < height; y += step) {
                const pixel_t p = effect.process_pixel_x(x, y, pass);
                const uint8_t a = PostProcess::gp_data[(size_t(y) * size_t(width) + size_t(x)) * 4];
                uint8_t* d = &out[(size_t(y / step) * size_t(w) + size_t(x / step)) * 4];
                d[0] = a;
                d[1] = a ? toByte(p.r) : 0;
                d[2] = a ? toByte(p.g) : 0;
                d[3] = a ? toByte(p.b) : 0;
            }
        effect.after_pass(pass);
    }
    effect.process_ended();
    effect.post_clean();
    effect.set_preview_mode(false);
    return out;
}

std::vector<uint8_t> runWithThreads(PostProcess& effect, const graphics::ImagePtr& image, int previewStep,
                                    unsigned threads) {
    graphics::setParallelThreads(threads);
    PostProcess::global_clean();
    WorkingImageGuard guard;
    const std::vector<uint8_t> bytes = runEffect(effect, image, previewStep).bytes;
    graphics::setParallelThreads(0);
    return bytes;
}

// Wide enough for several strips of columns, also in preview; odd sizes so that the last strip and
// the last row are partial.
TEST(ParallelRuns, EveryDeterministicLookStoresTheSameBytesOnOneThreadAndOnFour) {
    WorkingImageGuard guard;
    const ScopedValue<int32_t> quality(PostProcess::g_preview_quality, 1);
    const graphics::ImagePtr image = makeSourceImage(389, 61, patternColour);
    for (const Look& l : looks()) {
        SCOPED_TRACE(l.name);
        std::unique_ptr<PostProcess> effect = l.make();
        EXPECT_EQ(effect->pixels_are_independent(), l.independent);
        for (int previewStep : {0, 3}) {
            SCOPED_TRACE(previewStep ? "preview" : "full size");
            const std::vector<uint8_t> expected = columnByColumn(*effect, image, previewStep);
            EXPECT_TRUE(runWithThreads(*effect, image, previewStep, 1) == expected) << "one thread";
            EXPECT_TRUE(runWithThreads(*effect, image, previewStep, 4) == expected) << "four threads";
        }
    }
}

// Every look answers whether its pixels may be shared among threads as its registration says:
// those that draw random numbers or keep what they computed in members stay on one thread.
TEST(ParallelRuns, EveryLookAnswersIndependenceAsRegistered) {
    for (const LookClass& c : LookRegistry::classes())
        for (int32_t type = 0; type < c.variants; ++type) {
            SCOPED_TRACE(c.typeName + " " + std::to_string(type));
            EXPECT_EQ(c.make(type, 0)->pixels_are_independent(),
                      (c.flagsOf(type) & kLookIndependentPixels) != 0);
        }
    const LookClass* colorModify = LookRegistry::find("PP_ColorModify");
    ASSERT_NE(colorModify, nullptr);
    EXPECT_FALSE(colorModify->make(1, 0)->pixels_are_independent())
        << "Abstract Contours draws random numbers";
    PostProcess base;
    EXPECT_FALSE(base.pixels_are_independent());
}

} // namespace
