// The six sketch looks: names and parameters; each formula on known pixels over stroke, paper,
// charcoal and gradient textures made here; the blur radius rule at full size and in preview; runs
// storing the hook's values; missing and too small textures; one run on the generated artwork.
#include "engine/effects/sketch/Sketch.h"
#include "engine/effects/sketch/PP_SketchA.h"
#include "engine/effects/sketch/PP_SketchB.h"
#include "engine/effects/sketch/PP_SketchC.h"
#include "engine/effects/sketch/PP_SketchD.h"
#include "engine/effects/sketch/PP_SketchE.h"
#include "engine/effects/sketch/PP_SketchF.h"

#include "engine/PostProcessParameter.h"
#include "support/PixelEffectRun.h"
#include "support/TestBundle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

using Make = std::function<std::unique_ptr<PostProcess>()>;

template <typename T> Make make() {
    return [] { return std::make_unique<T>(); };
}

// A picture of width x height texels, row 0 on top, written losslessly whatever the file's name
// says, so that the texture holds exactly these bytes.
void writeTexture(const std::filesystem::path& file, int width, int height, const std::vector<Rgb>& texels) {
    std::vector<uint8_t> bytes;
    for (const Rgb& t : texels)
        bytes.insert(bytes.end(), {t.r, t.g, t.b, 255});
    auto destination = imageio::ImageDestination::createWithPath(file.string(), "public.png");
    ASSERT_NE(destination, nullptr) << file;
    destination->addImage(
        graphics::Image::copy(bytes.data(), width, height, size_t(width) * 4, graphics::PixelFormat{}), {});
    ASSERT_TRUE(destination->finalize()) << file;
}

void writeUniform(const std::filesystem::path& file, Rgb c, int side = 2) {
    writeTexture(file, side, side, std::vector<Rgb>(size_t(side) * side, c));
}

// Every texture the looks load, each telling apart what the formulas read of it.
struct FixtureBundle : TestBundle {
    FixtureBundle() {
        const auto dir = shared();
        // Pencil strokes: the dark one's red differs from its other channels.
        writeUniform(dir / "Scpaper-crs_2x.jpg", {120, 255, 255});
        writeUniform(dir / "Scpaper-obl_2x.jpg", {240, 240, 240});
        writeUniform(dir / "Scpaper-vert2_2x.jpg", {255, 255, 255});
        // Colour pencil strokes: the middle one has a light top row, so transposed sampling shows.
        writeUniform(dir / "Scpaper-crs1_2x.jpg", {0, 0, 0});
        writeTexture(dir / "Scpaper-obl1_2x.jpg", 2, 2,
                     {{200, 200, 200}, {200, 200, 200}, {100, 100, 100}, {100, 100, 100}});
        writeUniform(dir / "Scpaper-vert21_2x.jpg", {255, 100, 200});
        // Gradient: first byte n / 2 at pixel n, the others 255.
        std::vector<Rgb> ramp;
        for (int n = 0; n < 256; ++n)
            ramp.push_back({uint8_t(n / 2), 255, 255});
        writeTexture(dir / "gradient.png", 256, 1, ramp);
        writeUniform(dir / "Scetch_black.jpg", {40, 80, 120});
        // Paper: white, red / blue, green.
        writeTexture(dir / "pf_old_paper.jpg", 2, 2,
                     {{255, 255, 255}, {255, 0, 0}, {0, 0, 255}, {0, 255, 0}});
    }
};

// The hook's answers at the given positions, prepared as a full-size run over image.
std::vector<pixel_t> hookAt(PostProcess& fx, const graphics::ImagePtr& image,
                            const std::vector<std::pair<int, int>>& positions) {
    PostProcess::global_clean();
    fx.prepare(image);
    EXPECT_TRUE(fx.pre_init());
    fx.prepare_for_process();
    std::vector<pixel_t> out;
    for (const auto& [x, y] : positions)
        out.push_back(fx.process_pixel_x(x, y, 0));
    fx.process_ended();
    return out;
}

std::vector<pixel_t> hookRow(PostProcess& fx, const graphics::ImagePtr& image) {
    std::vector<std::pair<int, int>> positions;
    for (int x = 0; x < image->width(); ++x)
        positions.emplace_back(x, 0);
    return hookAt(fx, image, positions);
}

graphics::ImagePtr uniformImage(Rgb c, int w, int h) {
    return makeSourceImage(w, h, [c](int, int) { return c; });
}

void setParams(PostProcess& fx, const std::vector<double>& values) {
    if (values.size() > 0) fx.param_1()->setValue(values[0]);
    if (values.size() > 1) fx.param_2()->setValue(values[1]);
}

// Every pixel a full-size run or a preview run with step visits holds the hook's value there.
void expectRunStoresHook(PostProcess& fx, const graphics::ImagePtr& image, int step) {
    std::vector<std::pair<int, int>> positions;
    for (int y = 0; y < image->height(); y += step)
        for (int x = 0; x < image->width(); x += step)
            positions.emplace_back(x, y);
    const std::vector<pixel_t> expected = hookAt(fx, image, positions);
    PostProcess::global_clean();
    const EffectOutput run = runEffect(fx, image, step > 1 ? step : 0);
    if (step > 1) {
        EXPECT_EQ(workingImageBytes(), run.source) << "a preview run changed the working image";
    }
    ASSERT_EQ(size_t(run.w) * size_t(run.h), expected.size());
    int wrong = 0;
    for (int j = 0; j < run.h; ++j)
        for (int i = 0; i < run.w; ++i) {
            const pixel_t& e = expected[size_t(j) * size_t(run.w) + size_t(i)];
            const Rgb got = run.at(i, j);
            wrong += got.r != storedByte(e.r) || got.g != storedByte(e.g) || got.b != storedByte(e.b);
        }
    EXPECT_EQ(wrong, 0) << (step > 1 ? "preview" : "full size");
}

// Runs over a uniform image at full size and in preview; every pixel must hold expected.
void expectUniformRun(PostProcess& fx, Rgb colour, Rgb expected) {
    for (int step : {0, 2}) {
        SCOPED_TRACE(step ? "preview" : "full size");
        PostProcess::global_clean();
        WorkingImageGuard guard;
        const EffectOutput run = runEffect(fx, uniformImage(colour, 6, 4), step);
        int wrong = 0;
        for (int j = 0; j < run.h; ++j)
            for (int i = 0; i < run.w; ++i) {
                const Rgb got = run.at(i, j);
                wrong += got.r != expected.r || got.g != expected.g || got.b != expected.b;
            }
        EXPECT_EQ(wrong, 0) << "first pixel " << int(run.at(0, 0).r) << "," << int(run.at(0, 0).g) << ","
                            << int(run.at(0, 0).b);
    }
}

struct Identity {
    Make make;
    const char *cls, *name;
    const char* p1;
    double min1, max1, def1;
    const char* p2;
    double min2, max2, def2;
};

std::vector<Identity> identities() {
    return {
        {make<PP_SketchA>(), "PP_SketchA", "Pencil Sketch", "Edges", 1, 20, 5, "Contrast", 1, 3, 2},
        {make<PP_SketchB>(), "PP_SketchB", "Color Pencil Sketch", "Edges", 1, 10, 1, "Contrast", 1, 5, 2},
        {make<PP_SketchC>(), "PP_SketchC", "Pen Sketch", "Contrast", 1, 8, 4.5, "Brightness", double(-0.3f),
         double(0.3f), 0},
        {make<PP_SketchD>(), "PP_SketchD", "Charcoal Sketch", "Contrast", 1, 8, 4.5, "Brightness",
         double(-0.3f), double(0.3f), 0},
        {make<PP_SketchE>(), "PP_SketchE", "Color Charcoal Sketch", "Contrast", 1, 8, 4.5, "Brightness",
         double(-0.3f), double(0.3f), 0},
        {make<PP_SketchF>(), "PP_SketchF", "Old Sketch", "Edges", 1, 20, 5.75, "Contrast", 1, 3, 2.2},
    };
}

// Dark, middle and light areas; a dark spot and a bright bar give the edge term work.
Rgb scene(int x, int y) {
    if (x == 5 && y == 4) return {20, 30, 40};
    if (x > 8 && x < 11) return {250, 240, 230};
    return {uint8_t(10 + x * 19), uint8_t(200 - y * 17), uint8_t((x * y * 7) % 256)};
}

} // namespace

TEST(Sketch, NamesCategoryAndParameters) {
    for (const Identity& e : identities()) {
        SCOPED_TRACE(e.cls);
        const std::unique_ptr<PostProcess> fx = e.make();
        EXPECT_EQ(fx->class_name(), e.cls);
        EXPECT_EQ(fx->get_name(), e.name);
        EXPECT_EQ(fx->get_categorie(), "Sketch");
        EXPECT_TRUE(fx->this_filter_is_simply_color_modify());
        EXPECT_EQ(fx->passes(), 1u);
        ASSERT_NE(fx->param_1(), nullptr);
        ASSERT_NE(fx->param_2(), nullptr);
        EXPECT_EQ(fx->param_1(), fx->param_1()) << "made once";
        EXPECT_EQ(fx->param_1()->name(), e.p1);
        EXPECT_EQ(fx->param_1()->min_value(), e.min1);
        EXPECT_EQ(fx->param_1()->max_value(), e.max1);
        EXPECT_EQ(fx->param_1()->default_value(), e.def1);
        EXPECT_EQ(fx->param_2()->name(), e.p2);
        EXPECT_EQ(fx->param_2()->min_value(), e.min2);
        EXPECT_EQ(fx->param_2()->max_value(), e.max2);
        EXPECT_EQ(fx->param_2()->default_value(), e.def2);
    }
}

// Uniform 4 x 2 pictures, so the edge term is 1; the hook at (x, y).
TEST(Sketch, FormulasOnKnownPixels) {
    FixtureBundle bundle;
    WorkingImageGuard guard;
    struct Case {
        const char* what;
        Make make;
        Rgb colour;
        std::vector<double> params;
        int x, y;
        pixel_t expected;
    };
    const Case cases[] = {
        // Pencil: the red of the stroke chosen by brightness, its contrast around 250/255 clamped.
        {"A dark, contrast 2 clamps the hatch", make<PP_SketchA>(), {30, 30, 30}, {}, 0, 0, {0, 0, 0}},
        {"A dark", make<PP_SketchA>(), {30, 30, 30}, {5, 1}, 0, 0, {0.262976f, 0.262976f, 0.262976f}},
        {"A middle", make<PP_SketchA>(), {100, 120, 140}, {}, 2, 1, {0.663206f, 0.663206f, 0.663206f}},
        {"A light", make<PP_SketchA>(), {200, 220, 255}, {}, 0, 1, {0.941176f, 0.941176f, 0.941176f}},
        // Pen: the byte sum of the stroke, the tone, the ink curve, brightness.
        {"C black", make<PP_SketchC>(), {0, 0, 0}, {}, 0, 0, {0.142484f, 0.163399f, 0.328976f}},
        {"C grey", make<PP_SketchC>(), {128, 128, 128}, {}, 0, 0, {0.489807f, 0.510373f, 0.673181f}},
        {"C light",
         make<PP_SketchC>(),
         {220, 230, 240},
         {2.0, -0.1},
         0,
         0,
         {0.641285f, 0.653253f, 0.747997f}},
        {"C middle, brighter",
         make<PP_SketchC>(),
         {100, 90, 80},
         {6.0, 0.25},
         0,
         0,
         {0.617374f, 0.640346f, 0.822204f}},
        // Charcoal: brightness bytes in blocks of 32 share a tone.
        {"D 96", make<PP_SketchD>(), {96, 96, 96}, {}, 1, 1, {0.517892f, 0.674755f, 0.831618f}},
        {"D 97", make<PP_SketchD>(), {97, 97, 97}, {}, 1, 1, {0.517892f, 0.674755f, 0.831618f}},
        {"D 127", make<PP_SketchD>(), {127, 127, 127}, {}, 1, 1, {0.517892f, 0.674755f, 0.831618f}},
        {"D 140", make<PP_SketchD>(), {140, 140, 140}, {}, 1, 1, {0.659069f, 0.815931f, 0.972794f}},
        {"D bright clamps", make<PP_SketchD>(), {250, 250, 250}, {4.5, 0.3}, 1, 1, {1, 1, 1}},
        {"D dark clamps", make<PP_SketchD>(), {10, 10, 10}, {8.0, -0.3}, 1, 1, {0, 0.013725f, 0.170588f}},
        {"D colour", make<PP_SketchD>(), {200, 60, 128}, {2.0, 0.1}, 3, 0, {0.757843f, 0.914706f, 1}},
        // Colour charcoal: soft light over the source, both branches, the limits below 0 and above 1.
        {"E grey", make<PP_SketchE>(), {97, 97, 97}, {}, 1, 1, {0.458165f, 0.622256f, 0.798120f}},
        {"E colour", make<PP_SketchE>(), {200, 60, 128}, {}, 1, 1, {0.745933f, 0.736420f, 0.972847f}},
        {"E dark", make<PP_SketchE>(), {10, 10, 10}, {8.0, -0.3}, 1, 1, {0, 0.001250f, 0.040197f}},
        {"E bright", make<PP_SketchE>(), {250, 250, 250}, {4.5, 0.3}, 1, 1, {1, 1, 1}},
        // Old paper: the pencil value times the paper, the paper lying transposed.
        {"F on white", make<PP_SketchF>(), {100, 120, 140}, {}, 0, 0, {0.657439f, 0.657439f, 0.657439f}},
        {"F on blue", make<PP_SketchF>(), {100, 120, 140}, {}, 2, 0, {0, 0, 0.657439f}},
        {"F on red", make<PP_SketchF>(), {100, 120, 140}, {}, 0, 1, {0.657439f, 0, 0}},
        {"F light",
         make<PP_SketchF>(),
         {200, 220, 255},
         {5.75, 1.0},
         0,
         0,
         {0.941176f, 0.941176f, 0.941176f}},
        // Colour pencil: transposed strokes, the gradient's first byte, inverted contrast.
        {"B black keeps black", make<PP_SketchB>(), {0, 0, 0}, {}, 0, 0, {0, 0, 0}},
        {"B middle, light row",
         make<PP_SketchB>(),
         {100, 120, 141},
         {},
         0,
         1,
         {0.369473f, 0.400231f, 0.432526f}},
        {"B middle, both rows",
         make<PP_SketchB>(),
         {100, 120, 141},
         {},
         2,
         0,
         {0.196078f, 0.235294f, 0.276471f}},
        {"B light", make<PP_SketchB>(), {220, 235, 251}, {}, 0, 0, {1, 0.458824f, 0.600049f}},
        {"B light, contrast 5",
         make<PP_SketchB>(),
         {220, 235, 251},
         {1, 5},
         0,
         0,
         {0.675619f, 0.458824f, 0.600049f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::unique_ptr<PostProcess> fx = c.make();
        setParams(*fx, c.params);
        const pixel_t got = hookAt(*fx, uniformImage(c.colour, 4, 2), {{c.x, c.y}})[0];
        EXPECT_NEAR(got.r, c.expected.r, 2e-5f);
        EXPECT_NEAR(got.g, c.expected.g, 2e-5f);
        EXPECT_NEAR(got.b, c.expected.b, 2e-5f);
    }
}

// A pixel darker than its neighbours loses brightness by the edge term; its neighbours keep theirs.
TEST(Sketch, EdgeTermDarkensAPixelDarkerThanItsSurroundings) {
    FixtureBundle bundle;
    WorkingImageGuard guard;
    PP_SketchA fx;
    const auto image = makeSourceImage(5, 5, [](int x, int y) {
        return x == 2 && y == 2 ? Rgb{180, 180, 180} : Rgb{200, 200, 200};
    });
    const std::vector<pixel_t> got = hookAt(fx, image, {{2, 2}, {1, 1}});
    EXPECT_NEAR(got[0].r, 0.696078f, 2e-5f); // edge 1 - 60/255 x 4/3
    EXPECT_NEAR(got[1].r, 0.892157f, 2e-5f);
}

// The blur radius is the integer part of W / 1600 times Edges (5 for the pen), at least 1. A single
// bright pixel at column c of a one-row picture reaches exactly the pixels at c - r and c + r.
TEST(Sketch, BlurRadiusGrowsWithTheWorkingWidth) {
    FixtureBundle bundle;
    WorkingImageGuard guard;
    struct Case {
        const char* what;
        Make make;
        std::vector<double> params;
        int width, radius;
    };
    const Case cases[] = {
        {"C 319", make<PP_SketchC>(), {}, 319, 1},
        {"C 320", make<PP_SketchC>(), {}, 320, 1},
        {"C 1600", make<PP_SketchC>(), {}, 1600, 5},
        {"C 3199", make<PP_SketchC>(), {}, 3199, 9},
        {"A 3200", make<PP_SketchA>(), {}, 3200, 10},
        {"A edges 1", make<PP_SketchA>(), {1, 2}, 1600, 1},
        {"A edges 20", make<PP_SketchA>(), {20, 2}, 320, 4},
        {"B edges 10", make<PP_SketchB>(), {10, 2}, 800, 5},
        {"F default", make<PP_SketchF>(), {}, 3200, 11},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int spot = c.width / 2;
        const auto flat = makeSourceImage(c.width, 1, [](int, int) { return Rgb{130, 130, 130}; });
        const auto lit = makeSourceImage(c.width, 1, [spot](int x, int) {
            return x == spot ? Rgb{250, 250, 250} : Rgb{130, 130, 130};
        });
        const std::unique_ptr<PostProcess> fx = c.make();
        setParams(*fx, c.params);
        const std::vector<pixel_t> a = hookRow(*fx, flat), b = hookRow(*fx, lit);
        std::set<int> reached;
        for (int x = 0; x < c.width; ++x)
            if (x != spot && (a[x].r != b[x].r || a[x].g != b[x].g || a[x].b != b[x].b)) reached.insert(x);
        EXPECT_EQ(reached, (std::set<int>{spot - c.radius, spot + c.radius}));
    }
}

// A preview samples the full-size neighbourhood: the pen's radius stays 5 at W = 1600.
TEST(Sketch, PreviewKeepsTheFullSizeRadius) {
    FixtureBundle bundle;
    WorkingImageGuard guard;
    PP_SketchC fx;
    const auto flat = makeSourceImage(1600, 1, [](int, int) { return Rgb{130, 130, 130}; });
    const auto lit = makeSourceImage(1600, 1, [](int x, int) {
        return x == 800 ? Rgb{250, 250, 250} : Rgb{130, 130, 130};
    });
    const EffectOutput a = runEffect(fx, flat, 5);
    PostProcess::global_clean();
    const EffectOutput b = runEffect(fx, lit, 5);
    ASSERT_EQ(a.w, 320);
    std::set<int> changed;
    for (int i = 0; i < a.w; ++i)
        if (!(a.at(i, 0) == b.at(i, 0))) changed.insert(i);
    EXPECT_EQ(changed, (std::set<int>{159, 160, 161}));
}

TEST(Sketch, RunsStoreTheHookValuesAtFullSizeAndInPreview) {
    FixtureBundle bundle;
    WorkingImageGuard guard;
    const auto image = makeSourceImage(13, 9, scene);
    for (const Identity& e : identities()) {
        SCOPED_TRACE(e.cls);
        const std::unique_ptr<PostProcess> fx = e.make();
        for (int step : {1, 2})
            expectRunStoresHook(*fx, image, step);
    }
}

// The pen on white paper: mid grey is s = 0.751103, black s = 0.5.
TEST(Sketch, PenOnWhitePaperStoresKnownBytes) {
    TestBundle bundle;
    for (const char* name : {"Scpaper-crs_2x.jpg", "Scpaper-obl_2x.jpg", "Scpaper-vert2_2x.jpg"})
        writeUniform(bundle.shared() / name, {255, 255, 255});
    PP_SketchC fx;
    expectUniformRun(fx, {128, 128, 128}, {150, 155, 190});
    expectUniformRun(fx, {0, 0, 0}, {72, 78, 126});
}

// With no texture at all every look ends normally over white paper and an unchanged colour ramp.
TEST(Sketch, MissingTexturesActAsWhitePaper) {
    TestBundle bundle;
    WorkingImageGuard guard;
    for (const Identity& e : identities()) {
        SCOPED_TRACE(e.cls);
        const std::unique_ptr<PostProcess> fx = e.make();
        expectRunStoresHook(*fx, makeSourceImage(13, 9, scene), 1);
    }
    PP_SketchC pen;
    expectUniformRun(pen, {128, 128, 128}, {150, 155, 190});
    // White strokes with inverted contrast 1 give H = 0.568627; the colour stays the source's.
    PP_SketchB colour;
    colour.param_2()->setValue(5.0);
    expectUniformRun(colour, {128, 128, 128}, {182, 182, 182});
    // Pencil and paper (lum + 1) / 2; charcoal white plus tone, clamped.
    const auto grey = uniformImage({128, 128, 128}, 4, 2);
    struct Case {
        Make make;
        float expected;
    };
    const Case cases[] = {{make<PP_SketchA>(), 0.750980f},
                          {make<PP_SketchF>(), 0.750980f},
                          {make<PP_SketchD>(), 1.0f},
                          {make<PP_SketchE>(), 1.0f}};
    for (const Case& c : cases) {
        const std::unique_ptr<PostProcess> fx = c.make();
        SCOPED_TRACE(fx->class_name());
        const pixel_t p = hookAt(*fx, grey, {{1, 1}})[0];
        EXPECT_NEAR(p.r, c.expected, 2e-5f);
        EXPECT_NEAR(p.g, c.expected, 2e-5f);
        EXPECT_NEAR(p.b, c.expected, 2e-5f);
    }
}

// A picture decoded once serves later runs until it changes on disk or the cache is released.
TEST(Sketch, DecodedTexturesAreKeptUntilChangedOrReleased) {
    TestBundle bundle;
    sketch::release_cache();
    EXPECT_EQ(sketch::cache_bytes(), 0u);
    const auto file = bundle.shared() / "Scpaper-crs_2x.jpg";
    writeUniform(file, {10, 20, 30}, 4);
    const sketch::Texture first = sketch::load("Scpaper-crs_2x.jpg");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(sketch::cache_bytes(), 4u * 4u * 4u);
    EXPECT_EQ(sketch::load("Scpaper-crs_2x.jpg"), first);

    writeUniform(file, {200, 20, 30}, 8);
    const sketch::Texture changed = sketch::load("Scpaper-crs_2x.jpg");
    ASSERT_NE(changed, nullptr);
    EXPECT_NE(changed, first);
    EXPECT_EQ(changed->width, 8);
    EXPECT_EQ(changed->data[0], 200);
    // The texture a run still holds survives the release; the next load decodes again.
    sketch::release_cache();
    EXPECT_EQ(sketch::cache_bytes(), 0u);
    EXPECT_EQ(changed->data[0], 200);
    const sketch::Texture again = sketch::load("Scpaper-crs_2x.jpg");
    EXPECT_NE(again, changed);
    EXPECT_EQ(again->data[0], 200);
    // A missing picture is white and not kept.
    sketch::release_cache();
    EXPECT_EQ(sketch::load("no-such-paper.jpg")->data[0], 255);
    EXPECT_EQ(sketch::cache_bytes(), 0u);
}

// One-texel strokes would be read as black ink and a 128-pixel gradient would be read past its end.
TEST(Sketch, TooSmallTexturesActAsWhitePaperAndShortGradientKeepsColours) {
    TestBundle bundle;
    for (const char* name : {"Scpaper-crs_2x.jpg", "Scpaper-obl_2x.jpg", "Scpaper-vert2_2x.jpg",
                             "Scpaper-crs1_2x.jpg", "Scpaper-obl1_2x.jpg", "Scpaper-vert21_2x.jpg"})
        writeUniform(bundle.shared() / name, {0, 0, 0}, 1);
    writeTexture(bundle.shared() / "gradient.png", 16, 8, std::vector<Rgb>(128, Rgb{0, 0, 0}));
    PP_SketchC pen;
    expectUniformRun(pen, {128, 128, 128}, {150, 155, 190});
    PP_SketchB colour;
    colour.param_2()->setValue(5.0);
    expectUniformRun(colour, {128, 128, 128}, {182, 182, 182});
}

// The bundle the build generated: each look's texture shows through a flat grey picture.
TEST(Sketch, GeneratedArtworkShowsThrough) {
    WorkingImageGuard guard;
    const auto image = uniformImage({128, 128, 128}, 64, 48);
    for (const Identity& e : identities()) {
        SCOPED_TRACE(e.cls);
        const std::unique_ptr<PostProcess> fx = e.make();
        PostProcess::global_clean();
        const EffectOutput run = runEffect(*fx, image);
        std::set<uint32_t> colours;
        for (int j = 0; j < run.h; ++j)
            for (int i = 0; i < run.w; ++i) {
                const Rgb c = run.at(i, j);
                colours.insert(uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b);
            }
        EXPECT_GE(colours.size(), 10u);
    }
}
