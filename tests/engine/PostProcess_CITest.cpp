// The kernel path of an effect class: chosen by a kernel source in the main bundle (here a
// folder of the test's own), run instead of the per-pixel hooks, opaque result at the source's
// pixel size, parameters handed to the kernel.
#include "engine/PP_CIFilter.h"
#include "engine/PostProcess.h"
#include "engine/PostProcessParameter.h"

#include "support/ScopedEnvironment.h"
#include "support/ScopedValue.h"
#include "support/StubEffects.h"
#include "support/TemporaryDirectory.h"

#include "platform/coreimage/KernelRegistry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

namespace {

// Premultiplied colour and alpha of the sample, both halved.
void halfCoverageRow(const coreimage::KernelRow& row) {
    for (int i = 0; i < row.count; ++i) {
        const coreimage::Vec4 p = row.samplers[0].pixel(row.x + i, row.y);
        float* d = row.out + size_t(i) * 4;
        d[0] = p.x * 0.5f;
        d[1] = p.y * 0.5f;
        d[2] = p.z * 0.5f;
        d[3] = p.w * 0.5f;
    }
}

// The three parameters as an opaque colour.
void parametersRow(const coreimage::KernelRow& row) {
    for (int i = 0; i < row.count; ++i) {
        float* d = row.out + size_t(i) * 4;
        d[0] = row.values[0].x;
        d[1] = row.values[1].x;
        d[2] = row.values[2].x;
        d[3] = 1.0f;
    }
}

const char* const kHalfCoverage = "kernel vec4 halfCoverage(sampler image, float a, float b, float c)\n"
                                  "{\n    return sample(image, samplerCoord(image)) * 0.5;\n}\n";
const char* const kParameters = "/* parameters as colour */\n"
                                "kernel vec4 parametersAsColour(sampler image, float a, float b, float c)\n"
                                "{\n    return vec4(a, b, c, 1.0);\n}\n";

// A per-pixel effect whose parameters, when it has them, are made on first request.
class KernelEffect : public StubPixelEffect {
  public:
    std::optional<double> firstDefault;
    std::optional<double> secondDefault;

    std::string class_name() const override { return "KernelEffect"; }
    PostProcessParameter* param_1() override { return made(m_param_1, "First", firstDefault); }
    PostProcessParameter* param_2() override { return made(m_param_2, "Second", secondDefault); }
    coreimage::Filter* filter() const { return m_ci_filter.get(); }

  private:
    static PostProcessParameter* made(std::shared_ptr<PostProcessParameter>& p, const char* name,
                                      std::optional<double> defaultValue) {
        if (!p && defaultValue) p = std::make_shared<PostProcessParameter>(name, 0.0, 1.0, *defaultValue);
        return p.get();
    }
};

class CoreImagePath : public ::testing::Test {
  protected:
    CoreImagePath() {
        environment.set("OPALENE_RESOURCES", bundle.path().string());
        coreimage::KernelRegistry::registerKernel("halfCoverage", halfCoverageRow);
        coreimage::KernelRegistry::registerKernel("parametersAsColour", parametersRow);
    }

    // The kernel source of KernelEffect; nullopt removes it.
    void ship(const std::optional<std::string>& source) {
        std::filesystem::remove(bundle.file("KernelEffect.cifilter"));
        if (source) std::ofstream(bundle.file("KernelEffect.cifilter"), std::ios::binary) << *source;
    }

    // Built as the catalogue builds effects; the hooks count their calls.
    std::unique_ptr<KernelEffect> makeEffect() {
        auto effect = std::make_unique<KernelEffect>();
        effect->init({}, 0);
        effect->set_silent_mode(true);
        effect->onPrepare = [this] { ++prepared; };
        effect->pixel = [this](int32_t x, int32_t y, int32_t) {
            ++pixels;
            return PostProcess::get_source_pixel(x, y);
        };
        return effect;
    }

    TemporaryDirectory bundle;
    ScopedEnvironment environment;
    WorkingImageGuard guard;
    int prepared = 0;
    int pixels = 0;
};

const uint8_t* resultPixel(const graphics::Image& image, int x, int y) {
    return image.row(y) + size_t(x) * 4;
}

TEST_F(CoreImagePath, WithoutAUsableKernelSourceTheEffectRunsItsPixelHooks) {
    struct Case {
        const char* name;
        std::optional<std::string> source;
    };
    const Case cases[] = {
        {"no resource", std::nullopt},
        {"empty file", ""},
        {"no kernel declared", "// a comment and nothing else\n"},
        {"kernel not registered",
         "kernel vec4 nowhere(sampler s, float a, float b, float c) { return vec4(0.0); }"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ship(c.source);
        prepared = pixels = 0;
        std::unique_ptr<KernelEffect> effect = makeEffect();
        EXPECT_FALSE(effect->has_ci_process_function());
        EXPECT_EQ(effect->filter(), nullptr);
        EXPECT_EQ(coreimage::Filter::filterWithName("KernelEffect"), nullptr);

        effect->prepare(makeSourceImage(4, 3, patternColour));
        RunRecorder recorder;
        EXPECT_EQ(effect->process(), nullptr);
        const auto ends = recorder.named("EndProcess");
        ASSERT_EQ(ends.size(), 1u);
        EXPECT_EQ(ends[0].userInfo.find("ResultImage"), nullptr);
        EXPECT_EQ(prepared, 1);
        EXPECT_EQ(pixels, 12);
        PostProcess::global_clean();
    }
}

TEST_F(CoreImagePath, WithItsKernelSourceTheEffectRunsTheKernelAndTheResultIsOpaque) {
    ship(kHalfCoverage);
    std::unique_ptr<KernelEffect> effect = makeEffect();
    ASSERT_TRUE(effect->has_ci_process_function());
    ASSERT_NE(effect->filter(), nullptr);
    EXPECT_EQ(effect->filter()->name(), "KernelEffect");

    // A high-density source: half as many points as pixels.
    const graphics::ImagePtr source = makeSourceImage(7, 5, patternColour)->withPointSize({3.5, 2.5});
    effect->prepare(source);
    RunRecorder recorder;
    const graphics::ImagePtr result = effect->process();
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(prepared, 0);
    EXPECT_EQ(pixels, 0);

    const auto ends = recorder.named("EndProcess");
    ASSERT_EQ(ends.size(), 1u);
    const foundation::Value* posted = ends[0].userInfo.find("ResultImage");
    ASSERT_NE(posted, nullptr);
    EXPECT_EQ(posted->getObject<const graphics::Image>("Image"), result);

    EXPECT_FALSE(result->format().hasAlpha());
    ASSERT_EQ(result->width(), 7);
    ASSERT_EQ(result->height(), 5);
    EXPECT_EQ(result->pointSize(), (graphics::Size{3.5, 2.5}));
    const int r = result->format().indexOf(graphics::Channel::R),
              g = result->format().indexOf(graphics::Channel::G),
              b = result->format().indexOf(graphics::Channel::B);
    // Half coverage undone: every pixel keeps its own colour, at full opacity.
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            SCOPED_TRACE("pixel " + std::to_string(x) + "," + std::to_string(y));
            const Rgb expected = patternColour(x, y);
            const uint8_t* p = resultPixel(*result, x, y);
            EXPECT_EQ(p[r], expected.r);
            EXPECT_EQ(p[g], expected.g);
            EXPECT_EQ(p[b], expected.b);
        }
}

TEST_F(CoreImagePath, ParametersReachTheKernelWithTheirDefaultsWhenNeverAskedFor) {
    struct Case {
        const char* name;
        std::optional<double> firstDefault, secondDefault;
        std::optional<double> secondSet;
        double param1, param2;
        uint8_t r, g;
    };
    const Case cases[] = {
        {"first only, never asked for", 0.4, std::nullopt, std::nullopt, double(0.4f), 0.0, 102, 0},
        {"both, the second set", 0.4, 0.8, 0.2, double(0.4f), double(0.2f), 102, 51},
        {"none", std::nullopt, std::nullopt, std::nullopt, 0.0, 0.0, 0, 0},
    };
    ship(kParameters);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<KernelEffect> effect = makeEffect();
        effect->firstDefault = c.firstDefault;
        effect->secondDefault = c.secondDefault;
        if (c.secondSet) effect->param_2()->setValue(*c.secondSet);
        effect->prepare(makeSourceImage(3, 2, patternColour));
        const graphics::ImagePtr result = effect->process();
        ASSERT_NE(result, nullptr);

        coreimage::Filter& filter = *effect->filter();
        EXPECT_EQ(coreimage::asNumber(filter.value("inputParam1")), c.param1);
        EXPECT_EQ(coreimage::asNumber(filter.value("inputParam2")), c.param2);
        EXPECT_EQ(coreimage::asNumber(filter.value("inputParam3")), 0.0); // not the filter's 0.5
        const int r = result->format().indexOf(graphics::Channel::R),
                  g = result->format().indexOf(graphics::Channel::G),
                  b = result->format().indexOf(graphics::Channel::B);
        const uint8_t* p = resultPixel(*result, 2, 1);
        EXPECT_EQ(p[r], c.r);
        EXPECT_EQ(p[g], c.g);
        EXPECT_EQ(p[b], 0);
    }
}

TEST_F(CoreImagePath, PreviewsFitThePreviewSizeKeepingTheirAspect) {
    struct Case {
        const char* name;
        bool preview;
        int quality;
        int width, height;
        int expectedWidth, expectedHeight;
    };
    const Case cases[] = {
        {"landscape", true, 1, 1600, 1200, 800, 600},  {"portrait", true, 1, 1200, 1600, 450, 600},
        {"wide strip", true, 1, 2000, 100, 800, 40},   {"already inside", true, 1, 700, 500, 700, 500},
        {"low quality", true, 0, 1280, 960, 640, 480}, {"full size", false, 1, 1200, 1600, 1200, 1600},
    };
    ship(kHalfCoverage);
    const Rgb red{200, 0, 0}, blue{0, 0, 200};
    ScopedValue<int32_t> quality(PostProcess::g_preview_quality, 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        quality.set(c.quality);
        std::unique_ptr<KernelEffect> effect = makeEffect();
        effect->set_preview_mode(c.preview);
        const int half = c.width / 2;
        effect->prepare(
            makeSourceImage(c.width, c.height, [&](int x, int) { return x < half ? red : blue; }));
        const graphics::ImagePtr result = effect->process();
        ASSERT_NE(result, nullptr);
        EXPECT_EQ(result->width(), c.expectedWidth);
        EXPECT_EQ(result->height(), c.expectedHeight);
        // The whole picture, scaled: its left half red and its right half blue.
        const int r = result->format().indexOf(graphics::Channel::R);
        const int b = result->format().indexOf(graphics::Channel::B);
        const int y = result->height() / 2;
        EXPECT_EQ(resultPixel(*result, result->width() / 4, y)[r], 200);
        EXPECT_EQ(resultPixel(*result, result->width() * 3 / 4, y)[b], 200);
    }
}

TEST_F(CoreImagePath, TheFilterIsRegisteredUnderTheClassNameWithItsAttributes) {
    EXPECT_FALSE(PP_CIFilter::registerFilter("KernelEffect"));
    ship(kParameters);
    ASSERT_TRUE(PP_CIFilter::registerFilter("KernelEffect"));

    const coreimage::FilterPtr filter = coreimage::Filter::filterWithName("KernelEffect");
    ASSERT_NE(filter, nullptr);
    const coreimage::FilterAttributes attributes = filter->attributes();
    EXPECT_EQ(attributes.displayName, "KernelEffect");
    EXPECT_EQ(attributes.categories, (std::vector<std::string>{"CICategoryColorAdjustment", "CICategoryVideo",
                                                               "CICategoryStillImage", "CICategoryInterlaced",
                                                               "CICategoryNonSquarePixels"}));
    ASSERT_EQ(filter->inputKeys(), (std::vector<std::string>{"inputParam1", "inputParam2", "inputParam3"}));
    for (const auto& [key, input] : attributes.inputs) {
        SCOPED_TRACE(key);
        EXPECT_EQ(input.type, "CIAttributeTypeScalar");
        EXPECT_EQ(input.minimum, 0.0);
        EXPECT_EQ(input.maximum, 1.0);
        EXPECT_EQ(input.sliderMinimum, 0.0);
        EXPECT_EQ(input.sliderMaximum, 1.0);
        EXPECT_EQ(input.identity, 0.0);
        EXPECT_EQ(coreimage::asNumber(input.defaultValue), 0.5);
        EXPECT_EQ(coreimage::asNumber(filter->value(key)), 0.5);
    }

    // No picture, no output; with one, the output covers the picture.
    EXPECT_EQ(filter->outputImage(), nullptr);
    const coreimage::ImagePtr input =
        coreimage::Image::imageWithCGImage(makeSourceImage(5, 4, patternColour));
    filter->setValue("inputImage", input);
    const coreimage::ImagePtr output = filter->outputImage();
    ASSERT_NE(output, nullptr);
    EXPECT_EQ(output->extent(), input->extent());

    // A source that went away takes the filter with it.
    ship(std::nullopt);
    EXPECT_FALSE(PP_CIFilter::registerFilter("KernelEffect"));
    EXPECT_EQ(coreimage::Filter::filterWithName("KernelEffect"), nullptr);
}

} // namespace
