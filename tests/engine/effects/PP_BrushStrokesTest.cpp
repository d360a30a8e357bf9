// The brush-strokes looks: identity and parameters, the per-pixel formulas on known colours, the
// painting against the oil paint kernel with brushes written in code (transparent parts, missing
// brushes), and one run with the generated brushes. Full size and preview; the strokes follow the
// photo, whatever state the thread's generator is in.
#include "engine/effects/painterly/PP_BrushStrokes.h"
#include "engine/PostProcessParameter.h"
#include "kernels/Random.h"
#include "kernels/paint/oil_paint_filter.h"

#include "support/EffectRun.h"
#include "support/PixelEffectRun.h"
#include "support/TestBundle.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

TEST(PP_BrushStrokes, IdentityAndParametersPerType) {
    struct Case {
        int32_t type;
        std::string name, categorie;
        ParamSpec contrast;
    };
    const ParamSpec scale{"Scale", 0.4, 2.5, 0.421};
    for (const Case& c : {Case{0, "Brush Strokes", "Art", {"Contrast", 1.15, 3.0, 1.631}},
                          Case{1, "Brush Strokes Vivid", "Art", {}}, Case{2, "None", "None", {}},
                          Case{-1, "None", "None", {}}}) {
        SCOPED_TRACE(c.type);
        PP_BrushStrokes effect;
        effect.set_type(c.type);
        EXPECT_EQ(effect.class_name(), "PP_BrushStrokes");
        EXPECT_EQ(effect.get_name(), c.name);
        EXPECT_EQ(effect.get_categorie(), c.categorie);
        EXPECT_FALSE(effect.this_filter_is_simply_color_modify());
        EXPECT_FALSE(effect.isCenterSupported());
        EXPECT_EQ(effect.passes(), 1u);
        expectParameter(effect.param_1(), scale, "param_1");
        expectParameter(effect.param_2(), c.contrast, "param_2");
    }
}

TEST(PP_BrushStrokes, StrokeScaleFollowsTheShorterSide) {
    EXPECT_FLOAT_EQ(PP_BrushStrokes::painting_scale(640, 900, 0.421), 0.2947f);
    EXPECT_FLOAT_EQ(PP_BrushStrokes::painting_scale(4800, 3200, 0.421), 1.4735f);
    EXPECT_FLOAT_EQ(PP_BrushStrokes::painting_scale(640, 640, 2.5), 1.75f);
}

// On a one-row picture the strokes shrink to nothing and the underpainting has radius 0, so the
// painting is the source and the looks' formulas show directly.
TEST(PP_BrushStrokes, KnownColoursThroughEachLook) {
    struct Case {
        int32_t type;
        std::optional<double> contrast;
        std::vector<PixelCase> pixels;
    };
    const std::vector<Case> cases = {
        {0,
         {},
         {{{0, 64, 100}, {0, 23, 82}}, {{128, 140, 200}, {128, 147, 245}}, {{255, 1, 254}, {255, 0, 255}}}},
        {0, 3.0, {{{64, 100, 128}, {0, 45, 129}}, {{140, 200, 255}, {165, 255, 255}}}},
        {0, 1.15, {{{64, 100, 140}, {54, 95, 141}}}},
        {1,
         {},
         {{{128, 128, 128}, {120, 120, 120}},
          {{140, 128, 120}, {180, 108, 60}},
          {{100, 150, 90}, {0, 254, 0}},
          {{60, 70, 200}, {0, 0, 255}}}},
        {3, {}, {{{0, 64, 100}, {0, 64, 100}}, {{1, 128, 255}, {1, 128, 255}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type);
        PP_BrushStrokes effect;
        effect.set_type(c.type);
        if (c.contrast) effect.param_2()->setValue(*c.contrast);
        expectPixels(effect, c.pixels);
    }
}

// Before the run stores them the values are unclamped.
TEST(PP_BrushStrokes, HookAnswersUnclampedValues) {
    struct Case {
        int32_t type;
        Rgb in;
        pixel_t out;
    };
    for (const Case& c :
         {Case{0, {0, 255, 128}, {-0.3155f, 1.3155f, 0.503198f}},
          Case{1, {0, 0, 0}, {-0.47f, -0.47f, -0.47f}}, Case{1, {255, 255, 255}, {1.41f, 1.41f, 1.41f}},
          Case{1, {128, 128, 128}, {0.473686f, 0.473686f, 0.473686f}}}) {
        SCOPED_TRACE(testing::Message() << "type " << c.type);
        PostProcess::global_clean();
        WorkingImageGuard guard;
        ASSERT_TRUE(PostProcess::global_pre_init(makeSourceImage(2, 1, [&](int, int) { return c.in; })));
        PP_BrushStrokes effect;
        effect.set_type(c.type);
        effect.prepare_for_process();
        const pixel_t got = effect.process_pixel_x(1, 0, 0);
        effect.process_ended();
        EXPECT_NEAR(got.r, c.out.r, 1e-5f);
        EXPECT_NEAR(got.g, c.out.g, 1e-5f);
        EXPECT_NEAR(got.b, c.out.b, 1e-5f);
    }
}

// A brush written in code: an opaque ellipse of varied coverage (green) on a transparent ground,
// and the same brush as the kernel must see it, the ground white (no paint).
struct Brush {
    int w, h;
    std::vector<uint8_t> file;   // R,G,B,A
    std::vector<uint8_t> kernel; // byte 1 is the coverage
};

Brush makeBrush(int index) {
    const int w = 120 + 16 * index, h = 150 - 12 * index;
    Brush b{w, h, std::vector<uint8_t>(size_t(w) * h * 4, 0), std::vector<uint8_t>(size_t(w) * h * 4, 255)};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double u = (x + 0.5) / w - 0.5, v = (y + 0.5) / h - 0.5;
            if (u * u + v * v > 0.2) continue;
            const uint8_t c[4] = {uint8_t(x), uint8_t((x * 7 + y * 3 + index * 40) % 256), uint8_t(y), 255};
            for (int k = 0; k < 4; ++k)
                b.file[(size_t(y) * w + x) * 4 + k] = b.kernel[(size_t(y) * w + x) * 4 + k] = c[k];
        }
    return b;
}

void writeBrush(const std::filesystem::path& file, const Brush& b) {
    auto destination = imageio::ImageDestination::createWithPath(file.string(), "public.png");
    ASSERT_NE(destination, nullptr) << file;
    destination->addImage(
        graphics::Image::copy(b.file.data(), b.w, b.h, size_t(b.w) * 4, graphics::PixelFormat{}), {});
    ASSERT_TRUE(destination->finalize()) << file;
}

// Brushes the bundle holds, by number; missing ones are left out of the painting.
class PP_BrushStrokesPainting : public testing::TestWithParam<std::vector<int>> {};

TEST_P(PP_BrushStrokesPainting, IsTheKernelsPaintingOfTheWorkingImage) {
    TestBundle bundle;
    std::vector<Brush> present;
    for (int index : GetParam()) {
        present.push_back(makeBrush(index));
        writeBrush(bundle.shared() / ("brushStroke" + std::to_string(index + 1) + ".png"), present.back());
    }
    std::vector<image_t> brushes;
    for (const Brush& b : present)
        brushes.push_back({b.kernel.data(), b.w, b.h, b.w * 4});

    // A short side of 640 pixels gives the default strokes a scale of 0.2947.
    const int w = 700, h = 640;
    const graphics::ImagePtr source = makeSourceImage(w, h, [](int x, int y) {
        return Rgb{uint8_t(x / 3), uint8_t(255 - y / 3), uint8_t((x / 40 + y / 40) % 2 ? 200 : 30)};
    });
    for (int step : {0, 2}) {
        SCOPED_TRACE(step ? "preview" : "full size");
        PostProcess::global_clean();
        WorkingImageGuard guard;
        PP_BrushStrokes effect;
        effect.set_type(2); // the painting as it is
        const EffectOutput run = runEffect(effect, source, step);
        ASSERT_EQ(run.source.size(), size_t(w) * h * 4);
        if (step) {
            EXPECT_EQ(workingImageBytes(), run.source) << "a preview run changed the working image";
        }

        std::vector<uint8_t> painting(run.source.size());
        const Random::Scoped sequence(PP_BrushStrokes::strokes_seed(run.source.data(), w, h, 0.2947f));
        ASSERT_TRUE(oil_paint_filter(run.source.data(), painting.data(), w, h, 4 * w, 4 * w, brushes.data(),
                                     int(brushes.size()), 0.2947f));
        const int s = step ? step : 1;
        int wrong = 0;
        for (int j = 0; j < run.h; ++j)
            for (int i = 0; i < run.w; ++i) {
                const uint8_t* p = &painting[(size_t(j * s) * w + size_t(i * s)) * 4];
                const Rgb got = run.at(i, j);
                wrong += got.r != p[1] || got.g != p[2] || got.b != p[3];
            }
        EXPECT_EQ(wrong, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Brushes, PP_BrushStrokesPainting,
                         testing::Values(std::vector<int>{0, 1, 2, 3}, std::vector<int>{1, 2, 3},
                                         std::vector<int>{}));

// The generated brushes over columns alternately red and blue. The underpainting (radius 1 here)
// mixes neighbouring columns, so a run of several strongly red or blue pixels across the columns
// can only be a stroke in one source colour. A preview paints the same full-size picture.
TEST(PP_BrushStrokes, GeneratedBrushesPaintSolidStrokes) {
    const int w = 480, h = 360;
    const graphics::ImagePtr source = makeSourceImage(w, h, [](int x, int) {
        return x % 2 ? Rgb{30, 30, 220} : Rgb{220, 30, 30};
    });
    PostProcess::global_clean();
    WorkingImageGuard guard;
    PP_BrushStrokes effect;
    effect.set_type(2);
    const EffectOutput full = runEffect(effect, source);
    int redRuns = 0, blueRuns = 0;
    for (int y = 0; y < h; ++y) {
        int red = 0, blue = 0;
        for (int x = 0; x < w; ++x) {
            const Rgb c = full.at(x, y);
            red = c.r > c.b + 100 ? red + 1 : 0;
            blue = c.b > c.r + 100 ? blue + 1 : 0;
            redRuns += red == 5;
            blueRuns += blue == 5;
        }
    }
    EXPECT_GT(redRuns, 0);
    EXPECT_GT(blueRuns, 0);

    PostProcess::global_clean();
    const EffectOutput preview = runEffect(effect, source, 2);
    int wrong = 0;
    for (int j = 0; j < preview.h; ++j)
        for (int i = 0; i < preview.w; ++i)
            wrong += !(preview.at(i, j) == full.at(2 * i, 2 * j));
    EXPECT_EQ(wrong, 0);
}

// The strokes are drawn from the photo: the same photo and settings give the same painting on any
// run, whatever the thread's generator did before, and the preview shows the saved strokes. The
// thread's own sequence is left where it was. Another photo or another scale paints other strokes.
TEST(PP_BrushStrokes, SamePhotoAndSettingsGiveTheSamePainting) {
    const int w = 360, h = 300;
    const auto photo = [](int shift) {
        return makeSourceImage(w, h, [shift](int x, int y) {
            return Rgb{uint8_t((x * 5 + shift) % 256), uint8_t(y * 3 % 256), uint8_t((x + y) % 2 ? 210 : 40)};
        });
    };
    const auto run = [&](const graphics::ImagePtr& source, double scale, uint64_t threadSeed, int step) {
        PostProcess::global_clean();
        PP_BrushStrokes effect;
        effect.param_1()->setValue(scale);
        Random::seed(threadSeed);
        EffectOutput out = runEffect(effect, source, step);
        const int next = Random::rand();
        Random::seed(threadSeed);
        EXPECT_EQ(next, Random::rand()) << "the run moved the thread's own sequence";
        return out;
    };
    WorkingImageGuard guard;
    const EffectOutput first = run(photo(0), 0.421, 1, 0);
    const EffectOutput second = run(photo(0), 0.421, 2, 0);
    EXPECT_TRUE(first.bytes == second.bytes) << "two runs painted different strokes";

    const EffectOutput preview = run(photo(0), 0.421, 3, 3);
    int wrong = 0;
    for (int j = 0; j < preview.h; ++j)
        for (int i = 0; i < preview.w; ++i)
            wrong += !(preview.at(i, j) == first.at(3 * i, 3 * j));
    EXPECT_EQ(wrong, 0) << "the preview shows other strokes than the saved result";

    EXPECT_FALSE(run(photo(1), 0.421, 1, 0).bytes == first.bytes);
    EXPECT_NE(PP_BrushStrokes::strokes_seed(first.source.data(), w, h, 0.2f),
              PP_BrushStrokes::strokes_seed(first.source.data(), w, h, 0.3f));
}

} // namespace
