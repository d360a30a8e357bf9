// Every deterministic look of the effect classes, run at full size and in preview on one thread and
// on four: both runs store the bytes of a plain column-by-column visit of the hooks.
#include "engine/PostProcess.h"
#include "engine/PostProcessesManager.h"
#include "engine/effects/BWGrained/PP_BWGrained.h"
#include "engine/effects/PP_3DEffect.h"
#include "engine/effects/PP_Aged.h"
#include "engine/effects/PP_ArtFilter3.h"
#include "engine/effects/PP_ArtFilter4.h"
#include "engine/effects/PP_ArtQuad.h"
#include "engine/effects/PP_BlackAndWhite.h"
#include "engine/effects/PP_Bloom1.h"
#include "engine/effects/PP_Blur.h"
#include "engine/effects/PP_BrighterImage.h"
#include "engine/effects/PP_BurntColors.h"
#include "engine/effects/PP_BW.h"
#include "engine/effects/PP_ColorHalftone.h"
#include "engine/effects/PP_ColorModify.h"
#include "engine/effects/PP_ColorTemperature.h"
#include "engine/effects/PP_ComixHalftone.h"
#include "engine/effects/PP_CS.h"
#include "engine/effects/PP_Denoise.h"
#include "engine/effects/PP_Edges.h"
#include "engine/effects/PP_Eff1.h"
#include "engine/effects/PP_Effects_Bundle1.h"
#include "engine/effects/PP_Effects_Bundle2.h"
#include "engine/effects/PP_Explosion.h"
#include "engine/effects/PP_FalseMirror.h"
#include "engine/effects/PP_Gamma.h"
#include "engine/effects/PP_GaussianBlur.h"
#include "engine/effects/PP_GrayHalftone.h"
#include "engine/effects/PP_HFX_Avatar.h"
#include "engine/effects/PP_HFX_BWComics.h"
#include "engine/effects/PP_HFX_ColorComics.h"
#include "engine/effects/PP_HFX_Predator.h"
#include "engine/effects/PP_HFX_SinCity.h"
#include "engine/effects/PP_HFX_Sparta.h"
#include "engine/effects/PP_HFX_Twilight.h"
#include "engine/effects/PP_Hue.h"
#include "engine/effects/PP_ImageFilter.h"
#include "engine/effects/PP_Linocut.h"
#include "engine/effects/PP_LinocutInv.h"
#include "engine/effects/PP_Mosaic1.h"
#include "engine/effects/PP_Oilify.h"
#include "engine/effects/PP_OldCamera.h"
#include "engine/effects/PP_PencilPaint.h"
#include "engine/effects/PP_PencilPaint2.h"
#include "engine/effects/PP_RadialBlur.h"
#include "engine/effects/PP_Sharpen.h"
#include "engine/effects/PP_SimmetryHorizontal.h"
#include "engine/effects/PP_SimmetryQuad.h"
#include "engine/effects/PP_SimmetryVertical.h"
#include "engine/effects/PP_SketchA.h"
#include "engine/effects/PP_SketchB.h"
#include "engine/effects/PP_SketchC.h"
#include "engine/effects/PP_SketchD.h"
#include "engine/effects/PP_SketchE.h"
#include "engine/effects/PP_SketchF.h"
#include "engine/effects/PP_SmartPosterize.h"
#include "engine/effects/PP_SuperFilter.h"
#include "engine/effects/PP_TestScanner.h"
#include "engine/PostProcessParameter.h"
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

template <class Effect> Look look(std::string name, int32_t type, bool independent) {
    return {name + " " + std::to_string(type),
            [type] {
                auto e = std::make_unique<Effect>();
                e->init({}, 0);
                e->set_type(type);
                return std::unique_ptr<PostProcess>(std::move(e));
            },
            independent};
}

std::vector<Look> looks() {
    std::vector<Look> out;
    for (int t = 0; t <= 8; ++t)
        if (t != 1) out.push_back(look<PP_ColorModify>("PP_ColorModify", t, true)); // 1 draws random numbers
    for (int t = 0; t <= 5; ++t) {
        out.push_back(look<PP_ColorTemperature>("PP_ColorTemperature", t, true));
        out.push_back(look<PP_CS>("PP_CS", t, true));
        out.push_back(look<PP_Bloom1>("PP_Bloom1", t, true));
    }
    for (int t = 0; t <= 2; ++t)
        out.push_back(look<PP_GaussianBlur>("PP_GaussianBlur", t, true));
    out.push_back(look<PP_Aged>("PP_Aged", 0, true));
    out.push_back(look<PP_3DEffect>("PP_3DEffect", 0, true));
    out.push_back(look<PP_Sharpen>("PP_Sharpen", 0, true));
    out.push_back(look<PP_Denoise>("PP_Denoise", 0, true));
    out.push_back(look<PP_Oilify>("PP_Oilify", 0, true));
    out.push_back(look<PP_ColorHalftone>("PP_ColorHalftone", 0, true));
    out.push_back(look<PP_ComixHalftone>("PP_ComixHalftone", 0, true));
    out.push_back(look<PP_GrayHalftone>("PP_GrayHalftone", 0, true));
    out.push_back(look<PP_SmartPosterize>("PP_SmartPosterize", 0, true));
    out.push_back(look<PP_HFX_Avatar>("PP_HFX_Avatar", 0, true));
    out.push_back(look<PP_HFX_BWComics>("PP_HFX_BWComics", 0, true));
    out.push_back(look<PP_HFX_ColorComics>("PP_HFX_ColorComics", 0, true));
    out.push_back(look<PP_HFX_Predator>("PP_HFX_Predator", 0, true));
    out.push_back(look<PP_HFX_SinCity>("PP_HFX_SinCity", 0, true));
    out.push_back(look<PP_HFX_Sparta>("PP_HFX_Sparta", 0, true));
    out.push_back(look<PP_HFX_Twilight>("PP_HFX_Twilight", 0, true));
    out.push_back({"PP_SuperFilter with most stages on",
                   [] {
                       auto e = std::make_unique<PP_SuperFilter>();
                       e->init({}, 0);
                       const std::pair<int, double> values[] = {
                           {PP_SuperFilter::kContrast, 1.3},       {PP_SuperFilter::kSaturation, 1.4},
                           {PP_SuperFilter::kHue, 0.1},            {PP_SuperFilter::kShadowAmount, 0.4},
                           {PP_SuperFilter::kHighlightAmount, 0.3}, {PP_SuperFilter::kSharpenAmount, 0.8},
                           {PP_SuperFilter::kBrightness, 0.6},     {PP_SuperFilter::kLevelsGamma, 0.6},
                           {PP_SuperFilter::kRed, 1.2},            {PP_SuperFilter::kExposure, 0.2},
                       };
                       for (const auto& [index, value] : values)
                           e->params()[size_t(index)]->setValue(value);
                       return std::unique_ptr<PostProcess>(std::move(e));
                   },
                   true});
    for (int t = 0; t <= 9; ++t)
        out.push_back(look<PP_ArtQuad>("PP_ArtQuad", t, true));
    for (int t = 0; t <= 2; ++t)
        out.push_back(look<PP_Blur>("PP_Blur", t, true));
    out.push_back(look<PP_ArtFilter3>("PP_ArtFilter3", 0, true));
    out.push_back(look<PP_ArtFilter4>("PP_ArtFilter4", 0, true));
    out.push_back(look<PP_BlackAndWhite>("PP_BlackAndWhite", 0, true));
    out.push_back(look<PP_BrighterImage>("PP_BrighterImage", 0, true));
    out.push_back(look<PP_BurntColors>("PP_BurntColors", 0, true));
    out.push_back(look<PP_BW>("PP_BW", 0, true));
    for (int t = 0; t <= 5; ++t)
        out.push_back(look<PP_Edges>("PP_Edges", t, true));
    for (int t = 0; t <= 6; ++t)
        out.push_back(look<PP_FalseMirror>("PP_FalseMirror", t, true));
    out.push_back(look<PP_Explosion>("PP_Explosion", 0, true));
    out.push_back(look<PP_Gamma>("PP_Gamma", 0, true));
    for (int t = 0; t <= 6; ++t)
        out.push_back(look<PP_Hue>("PP_Hue", t, true));
    out.push_back(look<PP_Eff1>("PP_Eff1", 0, true));
    for (int t = 0; t <= 1; ++t)
        out.push_back(look<PP_Linocut>("PP_Linocut", t, true));
    out.push_back(look<PP_LinocutInv>("PP_LinocutInv", 0, true));
    for (int t = 0; t <= 3; ++t)
        out.push_back(look<PP_Mosaic1>("PP_Mosaic1", t, true));
    out.push_back(look<PP_OldCamera>("PP_OldCamera", 0, true));
    out.push_back(look<PP_PencilPaint>("PP_PencilPaint", 0, true));
    out.push_back(look<PP_PencilPaint2>("PP_PencilPaint2", 0, true));
    for (int t = 0; t <= 3; ++t)
        out.push_back(look<PP_RadialBlur>("PP_RadialBlur", t, true));
    out.push_back(look<PP_SimmetryHorizontal>("PP_SimmetryHorizontal", 0, true));
    out.push_back(look<PP_SimmetryVertical>("PP_SimmetryVertical", 0, true));
    out.push_back(look<PP_SimmetryQuad>("PP_SimmetryQuad", 0, true));
    out.push_back(look<PP_TestScanner>("PP_TestScanner", 0, true));
    for (int t = 0; t <= 18; ++t)
        out.push_back(look<PP_Effects_Bundle1>("PP_Effects_Bundle1", t, true));
    for (int t = 1; t <= 3; ++t) // 0 draws random numbers
        out.push_back(look<PP_Effects_Bundle2>("PP_Effects_Bundle2", t, true));
    out.push_back(look<PP_SketchA>("PP_SketchA", 0, true));
    out.push_back(look<PP_SketchB>("PP_SketchB", 0, true));
    out.push_back(look<PP_SketchC>("PP_SketchC", 0, true));
    out.push_back(look<PP_SketchD>("PP_SketchD", 0, true));
    out.push_back(look<PP_SketchE>("PP_SketchE", 0, true));
    out.push_back(look<PP_SketchF>("PP_SketchF", 0, true));
    // The texture-blend looks exactly as the catalogue makes them.
    for (const auto& entry : PostProcessesManager::catalogueEntries())
        if (entry(0)->class_name() == "PP_ImageFilter")
            out.push_back({entry(0)->get_name(), [entry] { return entry(0); }, true});
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

// Looks that draw random numbers or keep what they computed in members stay on one thread.
TEST(ParallelRuns, LooksWithStateStayOnOneThread) {
    PP_BWGrained grained;
    EXPECT_FALSE(grained.pixels_are_independent());
    PP_ColorModify contours;
    contours.set_type(1);
    EXPECT_FALSE(contours.pixels_are_independent());
    PP_Effects_Bundle2 nightVision;
    nightVision.set_type(0);
    EXPECT_FALSE(nightVision.pixels_are_independent());
    PostProcess base;
    EXPECT_FALSE(base.pixels_are_independent());
}

} // namespace
