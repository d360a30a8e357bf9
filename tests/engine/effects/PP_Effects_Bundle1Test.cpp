// The nineteen overlay looks of PP_Effects_Bundle1: names and parameters, every look's formula on
// known pixels under a uniform overlay made in the test (the hook's float output, then the stored
// bytes at full size and in preview), the neutral step when the overlay is missing, orientation,
// the overlay's life across preview and full-size runs, and runs over the generated artwork.
#include "engine/effects/bundles/PP_Effects_Bundle1.h"

#include "engine/PostProcessParameter.h"
#include "support/Checksum.h"
#include "support/PixelEffectRun.h"
#include "support/ScopedEnvironment.h"
#include "support/TestBundle.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <functional>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

const char* const kOverlays[] = {
    "red_poster_paper",  "grunge_rays",       "wall_texture",       "retro_1_overlayer",
    "retro_2_overlayer", "retro_3_overlayer", "paloroid_overlayer", "red"};

// The colour of every overlay the formula tables run under.
constexpr Rgb kTexel{230, 128, 40};

// Every overlay, full and "_small", one colour, landscape.
void writeOverlays(const TestBundle& bundle, Rgb c) {
    for (const char* name : kOverlays)
        for (const std::string suffix : {"", "_small"})
            TestBundle::writePicture(bundle.main() / (name + suffix + ".png"), 6, 4, c.r, c.g, c.b);
}

std::unique_ptr<PP_Effects_Bundle1> look(int type, const std::vector<double>& params = {}) {
    auto effect = std::make_unique<PP_Effects_Bundle1>();
    effect->set_type(type);
    if (params.size() > 0) effect->param_1()->setValue(params[0]);
    if (params.size() > 1) effect->param_2()->setValue(params[1]);
    return effect;
}

// The working image made from image and the effect prepared as for a full-size run, so that the
// hook can be asked directly.
void prepareFullSize(PostProcess& effect, const graphics::ImagePtr& image) {
    ASSERT_TRUE(PostProcess::global_pre_init(image));
    effect.pre_init();
    effect.prepare_for_process();
}

graphics::ImagePtr row(const std::vector<Rgb>& colours) {
    return makeSourceImage(int(colours.size()), 1, [&](int x, int) { return colours[size_t(x)]; });
}

// The tables give every value to the last bit, so rounding steps taken in the wrong precision show.
void expectExactly(pixel_t got, pixel_t want) {
    EXPECT_EQ(got.r, want.r);
    EXPECT_EQ(got.g, want.g);
    EXPECT_EQ(got.b, want.b);
}

Rgb bytesOf(pixel_t p) {
    return {storedByte(p.r), storedByte(p.g), storedByte(p.b)};
}

// The hook at every pixel of a one-row image, then the stored bytes of full-size and preview runs.
void expectRow(PP_Effects_Bundle1& effect, const std::vector<Rgb>& inputs,
               const std::vector<pixel_t>& outputs) {
    ASSERT_EQ(inputs.size(), outputs.size());
    {
        WorkingImageGuard guard;
        prepareFullSize(effect, row(inputs));
        for (size_t i = 0; i < inputs.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "hook at " << inputs[i]);
            expectExactly(effect.process_pixel_x(int32_t(i), 0, 0), outputs[i]);
        }
        effect.process_ended();
    }
    std::vector<PixelCase> cases;
    for (size_t i = 0; i < inputs.size(); ++i)
        cases.push_back({inputs[i], bytesOf(outputs[i])});
    WorkingImageGuard guard;
    expectPixels(effect, cases);
}

struct ParamCase {
    int type;
    const char* name;
    const char* category;
    ParamSpec p1, p2;
};

TEST(PP_Effects_Bundle1, NamesCategoriesAndParameters) {
    const ParamSpec contrast{"Contrast", 1.0, 20.0, 10.0}, brightness{"Brightness", 0.0, 0.4, 0.0}, none{};
    const ParamCase cases[] = {
        {0, "Stencil Poster Red", "Grunge", contrast, brightness},
        {1, "Stencil Poster Blue", "Grunge", contrast, brightness},
        {2, "Stencil Poster Green", "Grunge", contrast, brightness},
        {3, "Stencil Poster", "Grunge", contrast, brightness},
        {4, "Grunge Rays Sepia", "Grunge", contrast, brightness},
        {5, "Grunge Rays Blue", "Grunge", contrast, brightness},
        {6, "Grunge Rays Green", "Grunge", contrast, brightness},
        {7, "Grunge Rays", "Grunge", {"Contrast", 1.0, 20.0, 7.65}, {"Brightness", 0.0, 0.4, 0.188}},
        {8, "Stencil Graffiti Black", "Grunge", contrast, brightness},
        {9, "Stencil Graffiti Red", "Grunge", contrast, brightness},
        {10, "Stencil Graffiti Green", "Grunge", contrast, brightness},
        {11, "Stencil Graffiti Blue", "Grunge", contrast, brightness},
        {12, "Derby", "Groovy Lo-Fi", {"Contrast", 1.0, 3.0, 1.18}, {"Overlay", 0.5, 0.9, 0.755}},
        {13, "Turin", "Groovy Lo-Fi", {"Contrast", 1.0, 3.0, 2.0}, none},
        {14, "Napa", "Groovy Lo-Fi", {"Contrast", 1.0, 3.0, 1.54}, {"Color", 0.2, 0.9, 0.4}},
        {15, "Ancona", "Groovy Lo-Fi", {"Contrast", 1.0, 3.0, 2.2}, {"Brightness", 1.0, 3.0, 2.0}},
        {16, "Bilbao", "Groovy Lo-Fi", {"Amount", 1.0, 3.0, 1.4}, none},
        {17, "Ensley", "Groovy Lo-Fi", {"Contrast", 1.0, 8.0, 2.4}, {"Brightness", 0.2, 1.5, 0.5}},
        {18, "Lantana", "Groovy Lo-Fi", {"Contrast", 1.5, 4.0, 2.5}, none},
        {19, "Test1", "Test", none, none},
        {-1, "Test1", "Test", none, none},
    };
    for (const ParamCase& c : cases) {
        SCOPED_TRACE(c.type);
        auto effect = look(c.type);
        EXPECT_EQ(effect->class_name(), "PP_Effects_Bundle1");
        EXPECT_EQ(effect->get_name(), c.name);
        EXPECT_EQ(effect->get_categorie(), c.category);
        EXPECT_TRUE(effect->this_filter_is_simply_color_modify());
        expectParameter(effect->param_1(), c.p1, "param_1");
        expectParameter(effect->param_2(), c.p2, "param_2");
        // Made once, then kept.
        EXPECT_EQ(effect->param_1(), effect->param_1());
    }
}

// Each look on the same six pixels under the overlay colour kTexel; no parameters means defaults.
TEST(PP_Effects_Bundle1, EveryLookFollowsItsFormula) {
    TestBundle bundle;
    writeOverlays(bundle, kTexel);
    const std::vector<Rgb> inputs = {{128, 128, 128}, {200, 90, 30}, {20, 160, 240},
                                     {255, 255, 255}, {0, 0, 0},     {52, 162, 15}};
    struct Case {
        int type;
        std::vector<double> params;
        std::vector<pixel_t> outputs;
    };
    // clang-format off
    const Case cases[] = {
        {0, {}, {{0.817001104f, 0.310941786f, 0.0607308298f}, {0.725105762f, 0.104329132f, 0.0f}, {0.90022701f, 0.498062581f, 0.115732297f}, {0.90196085f, 0.501960814f, 0.11687813f}, {0.725105762f, 0.104329132f, 0.0f}, {0.725105762f, 0.104329132f, 0.0f}}},
        {1, {}, {{0.349202275f, 0.310941786f, 0.142087147f}, {0.0f, 0.104329132f, 0.126105353f}, {0.665460765f, 0.498062581f, 0.156561211f}, {0.672049284f, 0.501960814f, 0.156862751f}, {0.0f, 0.104329132f, 0.126105353f}, {0.0f, 0.104329132f, 0.126105353f}}},
        {2, {}, {{0.558723569f, 0.454678893f, 0.0607308298f}, {0.187466413f, 0.403537124f, 0.0f}, {0.894956231f, 0.500995874f, 0.115732297f}, {0.90196085f, 0.501960814f, 0.11687813f}, {0.187466413f, 0.403537124f, 0.0f}, {0.187466413f, 0.403537124f, 0.0f}}},
        {3, {}, {{0.766025245f, 0.426309705f, 0.133221775f}, {0.618992746f, 0.344482929f, 0.107650913f}, {0.89918673f, 0.500416934f, 0.156380296f}, {0.90196085f, 0.501960814f, 0.156862751f}, {0.618992746f, 0.344482929f, 0.107650913f}, {0.618992746f, 0.344482929f, 0.107650913f}}},
        {4, {}, {{0.684463918f, 0.307159245f, 0.0696806312f}, {0.449211895f, 0.0964552388f, 0.0f}, {0.897522211f, 0.497985393f, 0.132787585f}, {0.90196085f, 0.501960814f, 0.13410227f}, {0.449211895f, 0.0964552388f, 0.0f}, {0.449211895f, 0.0964552388f, 0.0f}}},
        {5, {}, {{0.334499031f, 0.307159245f, 0.129675642f}, {0.0f, 0.0964552388f, 0.100269131f}, {0.637441337f, 0.497985393f, 0.156307921f}, {0.643752456f, 0.501960814f, 0.156862751f}, {0.0f, 0.0964552388f, 0.100269131f}, {0.0f, 0.0964552388f, 0.100269131f}}},
        {6, {}, {{0.334499031f, 0.407396942f, 0.0696806312f}, {0.0f, 0.305113435f, 0.0f}, {0.637441337f, 0.500030994f, 0.132787585f}, {0.643752456f, 0.501960814f, 0.13410227f}, {0.0f, 0.305113435f, 0.0f}, {0.0f, 0.305113435f, 0.0f}}},
        // Mid-grey and brighter reach white before the tint, so the overlay comes through as it is.
        {7, {}, {{0.90196085f, 0.501960814f, 0.156862751f}, {0.90196085f, 0.501960814f, 0.156862751f}, {0.90196085f, 0.501960814f, 0.156862751f}, {0.90196085f, 0.501960814f, 0.156862751f}, {0.435063511f, 0.242122293f, 0.0756632164f}, {0.623316526f, 0.346889198f, 0.108402871f}}},
        {8, {}, {{0.468666196f, 0.260822922f, 0.0815071613f}, {0.0f, 0.0f, 0.0f}, {0.893118322f, 0.497039765f, 0.155324921f}, {0.90196085f, 0.501960814f, 0.156862751f}, {0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f}}},
        {9, {}, {{0.90196085f, 0.358860642f, 0.112143949f}, {0.90196085f, 0.0f, 0.0f}, {0.90196085f, 0.501960814f, 0.156862751f}, {0.90196085f, 0.501960814f, 0.156862751f}, {0.90196085f, 0.0f, 0.0f}, {0.90196085f, 0.0f, 0.0f}}},
        {10, {}, {{0.644827724f, 0.501960814f, 0.112143949f}, {0.0f, 0.501960814f, 0.0f}, {0.90196085f, 0.501960814f, 0.156862751f}, {0.90196085f, 0.501960814f, 0.156862751f}, {0.0f, 0.501960814f, 0.0f}, {0.0f, 0.501960814f, 0.0f}}},
        {11, {}, {{0.644827724f, 0.358860642f, 0.156862751f}, {0.0f, 0.0f, 0.156862751f}, {0.90196085f, 0.501960814f, 0.156862751f}, {0.90196085f, 0.501960814f, 0.156862751f}, {0.0f, 0.0f, 0.156862751f}, {0.0f, 0.0f, 0.156862751f}}},
        {12, {}, {{0.666134775f, 0.332136363f, 0.231283218f}, {0.848912895f, 0.25500083f, 0.116116829f}, {0.337624848f, 0.37694779f, 0.525040746f}, {0.958200276f, 0.749376655f, 0.935388803f}, {0.0693271905f, 0.0f, 0.0669158027f}, {0.393106878f, 0.359045982f, 0.104425162f}}},
        {13, {}, {{0.951364875f, 0.752933502f, 0.581737816f}, {1.00672817f, 0.604498327f, -0.0663206503f}, {0.868319988f, 0.877931595f, 1.32237613f}, {1.04901958f, 1.24901962f, 1.42156863f}, {0.852941275f, 0.252941221f, -0.264705867f}, {0.892925858f, 0.885743976f, -0.165513262f}}},
        {14, {}, {{0.943871439f, 0.679720938f, 0.637195051f}, {0.990581512f, 0.58296746f, 0.156862751f}, {0.90196085f, 0.781572104f, 0.918906868f}, {0.998052537f, 0.979289114f, 0.918906868f}, {0.90196085f, 0.501960814f, 0.156862751f}, {0.905110598f, 0.788556337f, 0.156862751f}}},
        {15, {}, {{0.94971621f, 0.708491921f, 0.396059036f}, {0.94971621f, 0.549244344f, 0.0502170809f}, {0.823028028f, 0.708491921f, 0.396059036f}, {0.94971621f, 0.708491921f, 0.396059036f}, {0.813533366f, 0.251964658f, 0.0246059224f}, {0.852003157f, 0.708491921f, 0.0246059224f}}},
        {16, {}, {{1.25775814f, 0.708387196f, 0.234420076f}, {1.19329798f, 0.585345387f, 0.131247982f}, {0.729916215f, 0.74051398f, 0.563592553f}, {1.0f, 1.0f, 1.0f}, {0.0f, 0.0f, 0.0f}, {0.823953569f, 0.727679551f, 0.111431606f}}},
        {17, {}, {{0.695890129f, 0.34637779f, 0.0448377356f}, {0.758216798f, 0.263492912f, -0.249129251f}, {0.59508878f, 0.405708402f, 0.361998826f}, {0.863791406f, 0.707247376f, 0.572189748f}, {0.526666701f, -0.0173333231f, -0.486666709f}, {0.619324744f, 0.398659617f, -0.302229494f}}},
        {18, {}, {{0.980482936f, 0.729591906f, 0.502638161f}, {0.989649713f, 0.637713313f, 0.297106862f}, {0.964705884f, 0.798204005f, 0.695312083f}, {0.989649713f, 0.837870419f, 0.695312083f}, {0.964705884f, 0.605022967f, 0.297106862f}, {0.964705884f, 0.802492261f, 0.297106862f}}},
        {0, {3.0, 0.2}, {{0.90196085f, 0.501960814f, 0.11687813f}, {0.8762995f, 0.444265276f, 0.099919349f}, {0.90196085f, 0.501960814f, 0.11687813f}, {0.90196085f, 0.501960814f, 0.11687813f}, {0.725105762f, 0.104329132f, 0.0f}, {0.813186586f, 0.302365333f, 0.0582099035f}}},
        {5, {14.0, 0.35}, {{0.643752456f, 0.501960814f, 0.156862751f}, {0.643752456f, 0.501960814f, 0.156862751f}, {0.643752456f, 0.501960814f, 0.156862751f}, {0.643752456f, 0.501960814f, 0.156862751f}, {0.0f, 0.0964552388f, 0.100269131f}, {0.643752456f, 0.501960814f, 0.156862751f}}},
        {9, {2.0, 0.1}, {{0.90196085f, 0.3690117f, 0.115316153f}, {0.90196085f, 0.288317055f, 0.0900990739f}, {0.90196085f, 0.414402395f, 0.129500747f}, {0.90196085f, 0.501960814f, 0.156862751f}, {0.90196085f, 0.0f, 0.0f}, {0.90196085f, 0.173579514f, 0.0542435944f}}},
        {12, {2.5, 0.6}, {{0.368636876f, 0.142163277f, 0.153676316f}, {0.755878687f, 0.0f, 0.109250285f}, {0.113187239f, 0.237102687f, 0.76210326f}, {1.01230299f, 1.0f, 1.58722019f}, {0.113187239f, 0.0f, 0.109250285f}, {0.113187239f, 0.199175104f, 0.109250285f}}},
        {14, {2.0, 0.8}, {{0.948379397f, 0.724080384f, 0.562088847f}, {0.998325586f, 0.587609112f, 0.156862751f}, {0.90196085f, 0.850458384f, 0.896921337f}, {0.998325586f, 0.983981907f, 0.896921337f}, {0.90196085f, 0.501960814f, 0.156862751f}, {0.90196085f, 0.858704686f, 0.156862751f}}},
        {15, {1.5, 1.2}, {{0.912713647f, 0.548464358f, 0.210721359f}, {0.933802426f, 0.47453478f, 0.086338751f}, {0.851687253f, 0.588643193f, 0.392330408f}, {0.94971621f, 0.708491921f, 0.396059036f}, {0.813533366f, 0.251964658f, 0.0246059224f}, {0.863540649f, 0.57259202f, 0.0648571253f}}},
        {16, {2.5}, {{2.23108339f, 1.2500639f, 0.403694034f}, {1.9232142f, 1.04525959f, 0.234371409f}, {1.30342185f, 1.22251439f, 0.660084665f}, {1.0f, 1.0f, 1.0f}, {0.0f, 0.0f, 0.0f}, {1.47134578f, 1.23352027f, 0.19898501f}}},
        {17, {5.0, 1.2}, {{1.01082289f, 1.02326143f, 1.03399289f}, {1.32245636f, 0.608837187f, -0.435842067f}, {0.506816208f, 1.31991434f, 2.61979818f}, {1.85032928f, 2.8276093f, 3.670753f}, {0.164706036f, -0.795294046f, -1.62352943f}, {0.627996147f, 1.28467059f, -0.701343417f}}},
        {18, {3.5}, {{0.980519235f, 0.730020761f, 0.503401279f}, {0.989649713f, 0.605022967f, 0.297106862f}, {0.964705884f, 0.826077759f, 0.695312083f}, {0.989649713f, 0.837870419f, 0.695312083f}, {0.964705884f, 0.605022967f, 0.297106862f}, {0.964705884f, 0.832081318f, 0.297106862f}}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "type " << c.type << " with " << c.params.size() << " parameters set");
        auto effect = look(c.type, c.params);
        expectRow(*effect, inputs, c.outputs);
    }
}

// Outside the picture the source reads as black (no overlay here: the sampler answers black
// outside too, which would hide the source).
TEST(PP_Effects_Bundle1, PositionsOutsideThePictureReadAsBlack) {
    TestBundle bundle;
    WorkingImageGuard guard;
    const graphics::ImagePtr image = makeSourceImage(4, 2, [](int, int) { return Rgb{200, 200, 200}; });
    const std::tuple<int, pixel_t> cases[] = {
        // grey 0: the contrast clamps to 0, tinted to 2 x 189/255 - 1
        {7, {0.482352972f, 0.482352972f, 0.482352972f}},
        // 0.5 - 0.5 x 2
        {13, {-0.5f, -0.5f, -0.5f}},
    };
    for (const auto& [type, want] : cases) {
        SCOPED_TRACE(type);
        auto effect = look(type);
        prepareFullSize(*effect, image);
        for (const auto& [x, y] : {std::pair{-1, 0}, std::pair{4, 1}, std::pair{0, -1}, std::pair{3, 2}})
            expectExactly(effect->process_pixel_x(x, y, 0), want);
        effect->process_ended();
    }
}

// Without its picture a look keeps its colour treatment: the overlay step is left out rather than
// applied with a texture of nothing.
TEST(PP_Effects_Bundle1, MissingOverlayLeavesOutTheOverlayStep) {
    TestBundle bundle;
    TestBundle::writeJunk(bundle.main() / "paloroid_overlayer.png"); // unreadable counts as missing
    const std::vector<Rgb> inputs = {{128, 128, 128}, {200, 90, 30}};
    const std::vector<std::vector<pixel_t>> outputs = {
        {{0.905805528f, 0.619454324f, 0.38715902f}, {0.80392158f, 0.207843184f, 0.0f}},
        {{0.38715902f, 0.619454324f, 0.905805528f}, {0.0f, 0.207843184f, 0.80392158f}},
        {{0.619454324f, 0.905805528f, 0.38715902f}, {0.207843184f, 0.80392158f, 0.0f}},
        {{0.849288821f, 0.849288821f, 0.849288821f}, {0.686274529f, 0.686274529f, 0.686274529f}},
        {{0.758862138f, 0.611918747f, 0.444214016f}, {0.498039246f, 0.192156911f, 0.0f}},
        {{0.370857596f, 0.611918747f, 0.82668215f}, {0.0f, 0.192156911f, 0.639215708f}},
        {{0.370857596f, 0.811611056f, 0.444214016f}, {0.0f, 0.607843161f, 0.0f}},
        {{1.0f, 1.0f, 1.0f}, {1.0f, 1.0f, 1.0f}},
        {{0.51960814f, 0.51960814f, 0.51960814f}, {0.0f, 0.0f, 0.0f}},
        {{1.0f, 0.71491766f, 0.71491766f}, {1.0f, 0.0f, 0.0f}},
        {{0.71491766f, 1.0f, 0.71491766f}, {0.0f, 1.0f, 0.0f}},
        {{0.71491766f, 0.71491766f, 1.0f}, {0.0f, 0.0f, 1.0f}},
        {{0.369270325f, 0.330838948f, 0.544133067f}, {0.470592976f, 0.254004717f, 0.370122373f}},
        {{0.503921628f, 0.503921628f, 0.503921628f}, {1.0686276f, 0.20588237f, -0.264705896f}},
        {{0.427488476f, 0.356919944f, 0.569696426f}, {0.903931201f, 0.162651166f, 0.0f}},
        {{1.0f, 1.0f, 1.0f}, {1.0f, 0.61447072f, 0.0968235731f}},
        {{0.509490252f, 0.509490252f, 0.509490252f}, {0.632156909f, 0.416470587f, 0.298823535f}},
        {{-0.0922259092f, -0.0922259092f, -0.0922259092f}, {0.131623536f, -0.230729461f, -0.428376496f}},
        {{0.800925791f, 0.457054555f, 0.410105735f}, {0.89442718f, 0.272573888f, 0.16633603f}},
    };
    for (int type = 0; type < 19; ++type) {
        SCOPED_TRACE(type);
        auto effect = look(type);
        expectRow(*effect, inputs, outputs[size_t(type)]);
    }
}

// Any other type has no overlay and no formula: the picture stays as it is.
TEST(PP_Effects_Bundle1, OtherTypesKeepThePicture) {
    TestBundle bundle;
    writeOverlays(bundle, kTexel);
    for (int type : {19, -1}) {
        SCOPED_TRACE(type);
        auto effect = look(type);
        expectPixels(*effect, {{{200, 90, 30}, {200, 90, 30}}, {{0, 255, 7}, {0, 255, 7}}});
    }
}

// Grunge Rays on white with its defaults is the texel itself, so the output shows where the
// overlay was sampled.
TEST(PP_Effects_Bundle1, OverlayIsLaidAcrossWhenItsOrientationDiffers) {
    TestBundle bundle;
    const auto texelColour = [](int x, int y) { return Rgb{uint8_t(40 + 50 * x), uint8_t(30 + 60 * y), 99}; };
    const auto writeOverlay = [&](int w, int h, const std::function<Rgb(int, int)>& colour) {
        const graphics::ImagePtr picture = makeSourceImage(w, h, colour);
        auto destination = imageio::ImageDestination::createWithPath(
            (bundle.main() / "grunge_rays.png").string(), "public.png");
        ASSERT_NE(destination, nullptr);
        destination->addImage(picture, {});
        ASSERT_TRUE(destination->finalize());
    };
    const auto white = [](int, int) { return Rgb{255, 255, 255}; };
    const auto expectTexels = [&](int W, int H, const std::function<Rgb(int, int)>& expected) {
        WorkingImageGuard guard;
        auto effect = look(7);
        prepareFullSize(*effect, makeSourceImage(W, H, white));
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                SCOPED_TRACE(testing::Message() << W << " x " << H << " at " << x << ", " << y);
                const Rgb t = expected(x, y);
                // Each byte times 1/255, as the sampler scales it.
                constexpr float k = 1.0f / 255.0f;
                expectExactly(effect->process_pixel_x(x, y, 0),
                              {float(t.r) * k, float(t.g) * k, float(t.b) * k});
            }
        effect->process_ended();
    };

    // Landscape overlay, portrait picture: texel (y, x).
    writeOverlay(4, 2, texelColour);
    expectTexels(2, 4, [&](int x, int y) { return texelColour(y, x); });
    // Landscape on landscape: texel (x, y).
    expectTexels(4, 2, texelColour);

    // Portrait overlay, landscape picture: texel (y, x).
    writeOverlay(2, 4, texelColour);
    expectTexels(4, 2, [&](int x, int y) { return texelColour(y, x); });

    // A square picture samples directly whatever the overlay's shape: a portrait overlay whose
    // rows are each one colour, stretched across, still changes from row to row.
    const auto rows = [](int, int y) { return Rgb{uint8_t(20 + 60 * y), 50, 200}; };
    writeOverlay(2, 4, rows);
    expectTexels(4, 4, rows);
}

// Whole runs over overlays stretched up and down, laid across for a portrait picture, and the
// "_small" overlay of a preview: the bytes stay those of an overlay drawn whole at the picture's
// size and sampled.
TEST(PP_Effects_Bundle1, OverlayRunsKeepTheirBytes) {
    TestBundle bundle;
    WorkingImageGuard guard;
    const auto pattern = [](int x, int y) {
        return std::array<uint8_t, 3>{uint8_t(x * 37 + y * 11), uint8_t(x * x + 3 * y),
                                      uint8_t(200 - 7 * y + x)};
    };
    const auto photo = [](int w, int h) {
        return makeSourceImage(w, h, [](int x, int y) {
            return Rgb{uint8_t(x * 5 + y), uint8_t(255 - 3 * y), uint8_t((x * y) % 251)};
        });
    };
    struct Case {
        int overlayW, overlayH; // the overlay; "_small" is half its size
        int w, h;               // the picture
        int step;               // 0: full size
        uint64_t sums[6];       // types 7, 8, 12, 13, 14, 16
    };
    // clang-format off
    const Case cases[] = {
        {23, 13, 53, 31, 0, {0xe7594cf801f714e5ull, 0xc2c9cfde02ff184cull, 0x84530fb74c380cc4ull, 0x957412a2a4951e18ull, 0xa86e4e4c4b3a2739ull, 0x4b71dda866d6e080ull}},
        {131, 71, 53, 31, 0, {0x57afe0880380a132ull, 0x8ccc0eabfc8b952cull, 0xadfc700337700eadull, 0xb8b0885c77ee568eull, 0xfe897d70e2c1ac68ull, 0xa42ea6be0d0ee243ull}},
        {23, 13, 31, 53, 0, {0x101ef61815eaa78eull, 0x3bd0eb7e8e1b6eccull, 0xfd62ca1ff2bfcef1ull, 0xba79840e67c057efull, 0xa7f095ea2e9f9458ull, 0x81118cc52704f60aull}},
        {131, 71, 31, 53, 0, {0x5065b2f43409fcf7ull, 0xdc8b3e3a8a3c206cull, 0xb8feac8b67c04472ull, 0x5f74e6472b3973aaull, 0x101a65bd40468074ull, 0xbcce77aad20483fbull}},
        {47, 29, 53, 41, 2, {0xe01eed68a1012faeull, 0xb6ae8b75a1a609b9ull, 0x938c6424bee5c668ull, 0xb360da3dd561dd94ull, 0x6e166040d811ba64ull, 0x18f6779be287c485ull}},
        {47, 29, 41, 53, 3, {0xf04518a800b89f51ull, 0x9f0e66abdfbdcc3bull, 0xea24ab742a23f43eull, 0xd089ffee0602bd04ull, 0x6eca064bfe327297ull, 0x5876e90355bcd9f6ull}},
    };
    // clang-format on
    const int types[] = {7, 8, 12, 13, 14, 16};
    for (const Case& c : cases) {
        for (const char* name : {"grunge_rays", "wall_texture", "retro_1_overlayer", "paloroid_overlayer",
                                 "retro_3_overlayer", "retro_2_overlayer"}) {
            TestBundle::writePicture(bundle.main() / (std::string(name) + ".png"), c.overlayW, c.overlayH,
                                     pattern);
            TestBundle::writePicture(bundle.main() / (std::string(name) + "_small.png"), c.overlayW / 2,
                                     c.overlayH / 2, pattern);
        }
        for (size_t i = 0; i < std::size(types); ++i) {
            SCOPED_TRACE(testing::Message()
                         << "type " << types[i] << ", overlay " << c.overlayW << " x " << c.overlayH
                         << ", picture " << c.w << " x " << c.h << ", step " << c.step);
            PostProcess::global_clean();
            auto effect = look(types[i]);
            const EffectOutput out = runEffect(*effect, photo(c.w, c.h), c.step);
            EXPECT_EQ(checksum(out.bytes), c.sums[i]);
        }
    }
}

// Turin's output rises with the texel: a black overlay against a white one tells which was used.
class Bundle1OverlayLife : public testing::Test {
  protected:
    static constexpr const char* kSmall = "paloroid_overlayer_small.png";
    static constexpr const char* kFull = "paloroid_overlayer.png";
    static constexpr Rgb kBlack{0, 0, 0};
    static constexpr Rgb kWhite{255, 255, 255};

    void write(const char* file, Rgb c) {
        TestBundle::writePicture(bundle.main() / file, 6, 4, c.r, c.g, c.b);
    }

    // Each run from the same source: a full-size run replaces the working image.
    Rgb run(PostProcess& effect, bool preview) {
        PostProcess::global_clean();
        return runEffect(effect, source, preview ? 1 : 0).at(1, 1);
    }
    Bundle1OverlayLife() { environment.set("OPALENE_CONFIG_DIR", config.path().string()); }

    // Grey 100 under a black overlay keeps its contrast step, (100/255 - 0.5) x 2 + 0.5; under a
    // white one it is white.
    static constexpr Rgb kUnderBlack{72, 72, 72};
    static constexpr Rgb kUnderWhite{255, 255, 255};

    TemporaryDirectory config; // on_preview_entered reads the saved parameters
    ScopedEnvironment environment;
    TestBundle bundle;
    WorkingImageGuard guard;
    const graphics::ImagePtr source = makeSourceImage(4, 3, [](int, int) { return Rgb{100, 100, 100}; });
};

TEST_F(Bundle1OverlayLife, LivePreviewKeepsItsOverlayAndFullSizeRunsReload) {
    PP_Effects_Bundle1 effect;
    effect.set_type(13);
    write(kSmall, kBlack);
    write(kFull, kWhite);
    effect.on_preview_entered();
    EXPECT_EQ(run(effect, true), kUnderBlack);
    write(kSmall, kWhite);
    EXPECT_EQ(run(effect, true), kUnderBlack) << "a live preview run loaded its overlay again";

    write(kFull, kWhite);
    EXPECT_EQ(run(effect, false), kUnderWhite) << "a full-size run reused the preview's overlay";
    write(kFull, kBlack);
    EXPECT_EQ(run(effect, false), kUnderBlack) << "a full-size run did not load its overlay afresh";

    effect.on_preview_exit();
    write(kSmall, kWhite);
    EXPECT_EQ(run(effect, true), kUnderWhite) << "the overlay outlived the live preview";
}

TEST_F(Bundle1OverlayLife, PreviewRunsOutsideTheLivePreviewLoadEachTime) {
    PP_Effects_Bundle1 effect;
    effect.set_type(13);
    write(kSmall, kBlack);
    EXPECT_EQ(run(effect, true), kUnderBlack);
    write(kSmall, kWhite);
    EXPECT_EQ(run(effect, true), kUnderWhite);
}

// A look for each overlay over the generated artwork: the overlay is found (a uniform picture
// comes out varied) and a run stores what the hook answers.
TEST(PP_Effects_Bundle1, RunsOverTheGeneratedArtwork) {
    const graphics::ImagePtr grey = makeSourceImage(96, 64, [](int, int) { return Rgb{128, 128, 128}; });
    for (int type : {0, 7, 8, 12, 13, 14, 15, 18}) {
        SCOPED_TRACE(type);
        WorkingImageGuard guard;
        auto effect = look(type);
        for (int step : {0, 2}) {
            PostProcess::global_clean();
            const EffectOutput out = runEffect(*effect, grey, step);
            std::set<std::tuple<int, int, int>> colours;
            for (int j = 0; j < out.h; ++j)
                for (int i = 0; i < out.w; ++i)
                    colours.insert({out.at(i, j).r, out.at(i, j).g, out.at(i, j).b});
            EXPECT_GT(colours.size(), 1u) << (step ? "preview" : "full size") << ": no overlay";
        }
        PostProcess::global_clean();
        ASSERT_TRUE(PostProcess::global_pre_init(grey));
        effect->pre_init();
        expectRunStoresItsHookValues(*effect, grey);
    }
}

} // namespace
