// The oil-paint and denoise looks: identity and parameters, known pixels, each against its kernel
// at full size and in preview, and the denoiser's progress and cancel through the run.
#include "engine/PostProcessParameter.h"
#include "engine/effects/blur/PP_Denoise.h"
#include "engine/effects/painterly/PP_Oilify.h"
#include "kernels/denoise/denoise.h"
#include "kernels/paint/oilify.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Thread.h"
#include "platform/graphics/ParallelRows.h"

#include "PreparedTextureRuns.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

namespace {

// Smooth shapes under deterministic noise: something for the denoiser to remove and for the
// oil strokes to follow.
Rgb noisy(int x, int y) {
    const uint32_t h = uint32_t(x) * 2654435761u ^ uint32_t(y) * 40503u;
    const int n = int((h >> 13) % 41) - 20;
    const auto ch = [n](int v) { return uint8_t(std::clamp(v + n, 0, 255)); };
    const bool disc = (x - 40) * (x - 40) + (y - 30) * (y - 30) < 400;
    return disc ? Rgb{ch(200), ch(60), ch(50)} : Rgb{ch(60 + x % 80), ch(120), ch(180 - y % 60)};
}

TEST(OilifyDenoise, IdentityAndParameters) {
    PP_Oilify oil;
    EXPECT_EQ(oil.class_name(), "PP_Oilify");
    EXPECT_EQ(oil.get_name(), "Oilify");
    EXPECT_EQ(oil.get_categorie(), "_research");
    EXPECT_TRUE(oil.this_filter_is_simply_color_modify());
    EXPECT_EQ(oil.passes(), 1u);
    ASSERT_NE(oil.param_1(), nullptr);
    EXPECT_EQ(oil.param_1()->name(), "Size");
    EXPECT_EQ(oil.param_1()->min_value(), 0.0);
    EXPECT_EQ(oil.param_1()->max_value(), 1.0);
    EXPECT_EQ(oil.param_1()->default_value(), double(0.2f));
    EXPECT_EQ(oil.param_2(), nullptr);

    PP_Denoise denoiser;
    EXPECT_EQ(denoiser.class_name(), "PP_Denoise");
    EXPECT_EQ(denoiser.get_name(), "Denoise");
    EXPECT_EQ(denoiser.get_categorie(), "Denoise");
    EXPECT_TRUE(denoiser.this_filter_is_simply_color_modify());
    EXPECT_EQ(denoiser.passes(), 1u);
    ASSERT_NE(denoiser.param_1(), nullptr);
    EXPECT_EQ(denoiser.param_1()->name(), "Amount");
    EXPECT_EQ(denoiser.param_1()->min_value(), 0.0);
    EXPECT_EQ(denoiser.param_1()->max_value(), 10.0);
    EXPECT_EQ(denoiser.param_1()->default_value(), 1.0);
    EXPECT_EQ(denoiser.param_2(), nullptr);
}

// A flat area is one class everywhere: the weighted mean comes out one level darker (the weight
// sum starts just above 0), 0 stays 0; the disc does not grow in preview.
TEST(OilifyDenoise, OilifyFlatAreasAndKernelParity) {
    struct Case {
        Rgb in, out;
    };
    for (const Case& c : {Case{{0, 0, 0}, {0, 0, 0}},
                          {{255, 255, 255}, {254, 254, 254}},
                          {{10, 200, 37}, {9, 199, 36}},
                          {{1, 1, 1}, {0, 0, 0}}}) {
        WorkingImageGuard guard;
        PP_Oilify effect;
        const Picture out =
            runEffect(effect, makeSourceImage(20, 16, [&](int, int) { return c.in; }), false).out;
        for (int k = 0; k < out.w * out.h; ++k) {
            ASSERT_EQ(out.bytes[size_t(k) * 4 + 1], c.out.r) << int(c.in.r);
            ASSERT_EQ(out.bytes[size_t(k) * 4 + 2], c.out.g);
            ASSERT_EQ(out.bytes[size_t(k) * 4 + 3], c.out.b);
        }
    }
    struct Setting {
        double size;
        float kernelSize;
    };
    for (const Setting& s : {Setting{double(0.2f), 10.0f}, Setting{1.0, 50.0f}, Setting{0.0, 0.0f}})
        for (bool preview : {false, true}) {
            if (preview && s.kernelSize != 10.0f) continue; // the disc is the same in both modes
            SCOPED_TRACE(std::to_string(s.size) + (preview ? " preview" : " full"));
            WorkingImageGuard guard;
            PP_Oilify effect;
            effect.param_1()->setValue(s.size);
            const int side = preview ? kPreviewSide : 72;
            const EffectRun run = runEffect(effect, makeSourceImage(side, side - 2, noisy), preview);
            const Picture& out = run.out;
            const Picture& full = run.source;
            const Picture source = preview ? reducedPicture(full, out.w, out.h, 2) : full;
            Picture tex = blankPicture(source.w, source.h);
            EXPECT_TRUE(oilify(source.bytes.data(), tex.bytes.data(), tex.w, tex.h, s.kernelSize));
            EXPECT_TRUE(sameColours(out, readBack(tex, full.w, full.h, out.w, out.h, preview ? 2 : 1)));
        }
}

// Amount 0, the slider's minimum, is no denoising: the picture as it is (the preview's reduced
// copy in preview); other amounts give the denoiser's own result at the run's size.
TEST(OilifyDenoise, DenoiseFollowsTheKernelAndAmountZeroKeepsThePicture) {
    for (double amount : {0.0, -1.0, 1.0, 4.0})
        for (bool preview : {false, true}) {
            if (preview && amount != 0.0 && amount != 1.0) continue;
            SCOPED_TRACE(std::to_string(amount) + (preview ? " preview" : " full"));
            WorkingImageGuard guard;
            PP_Denoise effect;
            effect.param_1()->setValue(amount);
            const int side = preview ? kPreviewSide : 48;
            const EffectRun run =
                runEffect(effect, makeSourceImage(side, preview ? 900 : 40, noisy), preview);
            const Picture& out = run.out;
            const Picture& full = run.source;
            Picture expected = preview ? reducedPicture(full, out.w, out.h, 2) : full;
            if (amount > 0.0) {
                const Picture source = preview ? expected : full;
                const Picture read = preview ? averagedPicture(full, 2) : full;
                expected = blankPicture(out.w, out.h);
                ASSERT_TRUE(denoise(read.bytes.data(), read.w, read.h, read.w * 4, expected.bytes.data(),
                                    out.w, out.h, out.w * 4, nullptr, nullptr, 1.5f, float(amount)));
                EXPECT_FALSE(sameColours(expected, source)) << "the noise must be there to remove";
            }
            EXPECT_TRUE(sameColours(out, expected));
        }
}

// Runs the effect to its end on a worker and delivers what it sent to the main thread.
void runOnWorker(PostProcess& effect, const RunRecorder& recorder) {
    {
        foundation::Thread worker([&] { effect.process(); });
    }
    ASSERT_TRUE(foundation::RunLoop::runUntil([&] { return recorder.ends() >= 1; }, 30));
    foundation::RunLoop::runOnce();
}

TEST(OilifyDenoise, DenoiseProgressRisesToTheEnd) {
    WorkingImageGuard guard;
    // One thread: helper threads on a busy machine may finish every tile before the first report.
    graphics::setParallelThreads(1);
    PP_Denoise effect;
    const graphics::ImagePtr image = makeSourceImage(160, 120, noisy);
    effect.prepare(image);
    ASSERT_TRUE(PostProcess::global_pre_init(image));
    RunRecorder recorder;
    runOnWorker(effect, recorder);
    ASSERT_EQ(recorder.named("EndProcess").size(), 1u);
    const std::vector<int64_t> progress = recorder.progress();
    ASSERT_GE(progress.size(), 3u);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_GT(std::count_if(progress.begin(), progress.end(), [](int64_t p) { return p > 0 && p < 100; }), 0);
    EXPECT_EQ(progress.back(), 100);
}

// Cancels its own run from the denoiser's first progress report.
class CancellingDenoise : public PP_Denoise {
  public:
    int calls = 0;
    bool progress_callback(float fraction) override {
        if (calls++ == 0) foundation::Thread::current().cancel();
        return PP_Denoise::progress_callback(fraction);
    }
};

TEST(OilifyDenoise, DenoiseStopsWhenTheRunIsCancelled) {
    WorkingImageGuard guard;
    CancellingDenoise effect;
    const graphics::ImagePtr image = makeSourceImage(160, 120, noisy);
    effect.prepare(image);
    ASSERT_TRUE(PostProcess::global_pre_init(image));
    const Picture before = workingPicture();
    RunRecorder recorder;
    runOnWorker(effect, recorder);
    EXPECT_EQ(effect.calls, 1) << "the denoiser stops at the first answer to stop";
    EXPECT_EQ(recorder.named("ProcessCancelled").size(), 1u);
    EXPECT_EQ(recorder.named("EndProcess").size(), 0u);
    EXPECT_EQ(workingPicture().bytes, before.bytes);
}

} // namespace
