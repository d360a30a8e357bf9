#include "engine/effects/bundles/PP_ImageFilter.h"

#include "engine/PostProcessParameter.h"
#include "engine/PostProcessesManager.h"

#include "support/EffectRun.h"
#include "support/PixelEffectRun.h"
#include "support/StubEffects.h"
#include "support/TestBundle.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

// The source colours of the formula table, one pixel each along a row.
const std::vector<Rgb> kInputs = {{0, 0, 0},      {255, 255, 255}, {128, 128, 128},
                                  {200, 120, 40}, {30, 90, 220},   {250, 5, 128}};
// The texture colour of the formula table.
constexpr Rgb kTexel{180, 100, 60};

// What the blend mode's formula gives for each of kInputs over kTexel with the two parameter
// values set, worked out independently in single and double arithmetic as the formulas state.
struct ModeCase {
    int mode;
    double p1, p2; // 0 where the mode has no such parameter
    float out[6][3];
};

// Mode 7 reads the source six pixels off the diagonal, outside this one-row picture: black.
// clang-format off
const ModeCase kModeCases[] = {
    {-1, 0, 0, {{0.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 1.0f}, {0.501960814f, 0.501960814f, 0.501960814f}, {0.784313798f, 0.470588267f, 0.156862751f}, {0.117647067f, 0.352941185f, 0.862745166f}, {0.980392218f, 0.0196078438f, 0.501960814f}}},
    {0, 0, 0, {{0.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 1.0f}, {0.501960814f, 0.501960814f, 0.501960814f}, {0.784313798f, 0.470588267f, 0.156862751f}, {0.117647067f, 0.352941185f, 0.862745166f}, {0.980392218f, 0.0196078438f, 0.501960814f}}},
    {1, 1.62, 0, {{0.0f, 0.0f, 0.0f}, {0.637882352f, 0.0788235664f, -0.200705886f}, {0.32019195f, 0.0395663679f, -0.100746453f}, {0.50029999f, 0.0370934606f, -0.0314832628f}, {0.0750449896f, 0.0278201103f, -0.17315793f}, {0.625374913f, 0.00154556148f, -0.100746453f}}},
    {2, 1.3, 0, {{0.0f, 0.0f, 0.0f}, {0.525882363f, 0.158823609f, -0.0247058868f}, {0.263972342f, 0.0797232091f, -0.0124013424f}, {0.41245681f, 0.0747405589f, -0.0038754195f}, {0.0618685223f, 0.056055367f, -0.0213148594f}, {0.515570998f, 0.00311418809f, -0.0124013424f}}},
    {3, 0, 0, {{0.0f, 0.0f, 0.0f}, {1.19341183f, 0.691451013f, 0.440470606f}, {0.599045932f, 0.347081333f, 0.221098989f}, {0.936009347f, 0.325388759f, 0.0690934286f}, {0.140401393f, 0.244041547f, 0.380013883f}, {1.17001164f, 0.0135578644f, 0.221098989f}}},
    {4, 2.6, 1.3, {{0.0f, 0.0f, 0.0f}, {1.60588241f, 0.545490265f, 0.015294075f}, {0.806089997f, 0.273814797f, 0.00767719746f}, {0.75570935f, 0.25670135f, 0.00719726086f}, {0.713725448f, 0.242440224f, 0.0067974329f}, {0.803990722f, 0.273101687f, 0.00765705109f}}},
    {5, 2.6, 0, {{0.0f, 0.0f, 0.0f}, {1.83529413f, 1.0196079f, 0.611764729f}, {0.921245754f, 0.51180321f, 0.307081938f}, {1.43944645f, 0.479815513f, 0.0959630907f}, {0.215916961f, 0.359861612f, 0.527797043f}, {1.79930806f, 0.0199923124f, 0.307081938f}}},
    {6, 0, 0, {{0.70588237f, 0.392156899f, 0.235294133f}, {0.70588237f, 0.392156899f, 0.235294133f}, {0.70588237f, 0.392156899f, 0.235294133f}, {0.70588237f, 0.392156899f, 0.235294133f}, {0.70588237f, 0.392156899f, 0.235294133f}, {0.70588237f, 0.392156899f, 0.235294133f}}},
    {7, 2.6, 0, {{0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f}}},
    {8, 0, 0, {{0.0f, 0.0f, 0.0f}, {0.29411763f, 0.607843101f, 0.764705896f}, {0.0f, 0.109803915f, 0.266666681f}, {0.0784314275f, 0.0784313679f, 0.0f}, {0.0f, 0.0f, 0.627451062f}, {0.274509847f, 0.0f, 0.266666681f}}},
    {9, 0, 0, {{0.498269916f, 0.276816636f, 0.166089982f}, {0.792387545f, 0.570934296f, 0.460207611f}, {0.645905435f, 0.424452156f, 0.313725501f}, {0.728950441f, 0.41522494f, 0.212226078f}, {0.532872021f, 0.380622864f, 0.419838548f}, {0.786620557f, 0.282583654f, 0.313725501f}}},
    {10, 0, 0, {{0.282352954f, 0.156862766f, 0.0941176564f}, {0.882352948f, 0.75686276f, 0.694117665f}, {0.583529413f, 0.458039254f, 0.39529413f}, {0.752941251f, 0.43921572f, 0.188235298f}, {0.352941185f, 0.368627459f, 0.611764729f}, {0.870588303f, 0.168627471f, 0.39529413f}}},
    {11, 2.6, 0.76, {{0.0f, 0.0f, 0.0f}, {2.01882339f, 1.39890194f, 1.08894122f}, {1.01337028f, 0.702193975f, 0.546605885f}, {1.58339119f, 0.658306837f, 0.170814306f}, {0.237508669f, 0.493730128f, 0.939478815f}, {1.97923887f, 0.0274294503f, 0.546605885f}}},
    {12, 4.4, 0.76, {{0.0f, 0.0f, 0.0f}, {0.721750677f, 0.478431404f, 0.383058846f}, {0.362290561f, 0.240153819f, 0.192280531f}, {1.02958953f, 0.225144207f, 0.0600876659f}, {-0.317798734f, 0.168858141f, 0.330482185f}, {1.83754885f, 0.00938100833f, 0.192280531f}}},
    {13, 4.4, 0.76, {{0.0f, 0.0f, 0.0f}, {0.669176459f, 0.507639289f, 0.383058846f}, {0.335900366f, 0.254815012f, 0.192280531f}, {0.524844408f, 0.168949157f, 0.0600876659f}, {0.0787266493f, 0.201023012f, 0.330482185f}, {0.65605545f, -0.365098923f, 0.192280531f}}},
    {14, 4.4, 0.76, {{0.0f, 0.0f, 0.0f}, {0.669176459f, 0.478431404f, 0.400583565f}, {0.335900366f, 0.240153819f, 0.201077253f}, {0.524844408f, 0.225144207f, -0.175594792f}, {0.0787266493f, 0.168858141f, 0.67797488f}, {0.65605545f, 0.00938100833f, 0.278114438f}}},
    {15, 1.34, 0, {{-0.170000017f, -0.170000017f, -0.170000017f}, {0.425555557f, 0.425555557f, 0.425555557f}, {0.128945529f, 0.128945529f, 0.128945529f}, {0.1102615f, 0.1102615f, 0.1102615f}, {0.0946913958f, 0.0946913958f, 0.0946913958f}, {0.128167093f, 0.128167093f, 0.128167093f}}},
    {16, 1.62, 0, {{0.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 1.0f}, {0.834182262f, 0.327940106f, 0.0748189986f}, {0.928189218f, 0.306159228f, 0.0223298818f}, {0.196124583f, 0.229619414f, 0.745028973f}, {0.993471801f, 0.0127566345f, 0.0748189986f}}},
    {17, 0, 0, {{0.411764741f, 0.0f, 0.0f}, {1.0f, 0.784313798f, 0.470588267f}, {0.70703578f, 0.393694788f, 0.236216873f}, {0.873125792f, 0.369088858f, 0.0738177672f}, {0.480968893f, 0.276816636f, 0.405997753f}, {0.988466024f, 0.0153787024f, 0.236216873f}}},
    {18, 1.62, 0, {{1.14352942f, 0.635294199f, 0.381176502f}, {1.0f, 1.0f, 1.0f}, {1.07148325f, 0.818362236f, 0.691801667f}, {1.03095734f, 0.806920409f, 0.478246868f}, {1.12664366f, 0.764013886f, 0.9150635f}, {1.00281429f, 0.642445266f, 0.691801667f}}},
    {19, 1.62, 0, {{0.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 1.0f}, {0.639729261f, 0.414609253f, 0.287552357f}, {0.851887584f, 0.38353765f, 0.0434330851f}, {0.267968863f, 0.273144722f, 0.761186063f}, {0.986899674f, 0.0128909722f, 0.287552357f}}},
    {20, 1.62, 0, {{0.807197273f, 0.249134988f, 0.0896885991f}, {0.741072297f, 0.394483447f, 0.165815532f}, {0.833166838f, 0.325565487f, 0.0715475976f}, {0.780955732f, 0.320814192f, 0.083880879f}, {0.813393116f, 0.302894443f, 0.139836133f}, {0.744698048f, 0.252121627f, 0.0715475976f}}},
    {21, 0, 0, {{0.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 1.0f}, {0.501960814f, 0.501960814f, 0.501960814f}, {0.784313798f, 0.470588267f, 0.156862751f}, {0.117647067f, 0.352941185f, 0.862745166f}, {0.980392218f, 0.0196078438f, 0.501960814f}}},
    {22, 0.84, 0, {{0.592941165f, 0.329411775f, 0.197647065f}, {0.752941191f, 0.489411831f, 0.357647061f}, {0.673254907f, 0.409725547f, 0.277960807f}, {0.718431413f, 0.404705912f, 0.222745121f}, {0.611764729f, 0.385882378f, 0.335686266f}, {0.74980396f, 0.332549036f, 0.277960807f}}},
    {23, 0.82, 0, {{0.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 1.0f}, {0.910352945f, 0.0903529525f, 0.0903529525f}, {0.961176515f, 0.0847058892f, 0.0282353014f}, {0.0211764723f, 0.063529402f, 0.975294113f}, {0.996470571f, 0.00352941267f, 0.0903529525f}}},
    {24, 0, 0, {{0.647058845f, 0.80392158f, 0.882352948f}, {1.64705884f, 1.80392158f, 1.88235295f}, {1.1490196f, 1.30588233f, 1.3843137f}, {1.43137264f, 1.27450979f, 1.03921568f}, {0.764705896f, 1.15686274f, 1.74509811f}, {1.62745106f, 0.823529422f, 1.3843137f}}},
    {25, 0.88, 0, {{0.621176481f, 0.345098078f, 0.207058832f}, {1.0f, 1.0f, 1.0f}, {0.681411803f, 0.501960814f, 0.501960814f}, {0.784313798f, 0.470588267f, 0.225882366f}, {0.635294139f, 0.387451023f, 0.862745166f}, {0.980392218f, 0.347451001f, 0.501960814f}}},
    {26, 1.62, 0, {{0.387529492f, 0.0f, 0.0f}, {1.0f, 0.777647138f, 0.472705901f}, {0.69496572f, 0.390348375f, 0.237279862f}, {0.867898524f, 0.365951627f, 0.0741499439f}, {0.459584832f, 0.274463743f, 0.407824755f}, {0.987990797f, 0.0152479857f, 0.237279862f}}},
    {27, 1.62, 0, {{0.0796401352f, 0.081249997f, 0.00839878991f}, {0.56852591f, 0.581249952f, 0.0420596898f}, {0.270108223f, 0.275981247f, 0.0224847272f}, {0.425908118f, 0.260488808f, 0.0121920705f}, {0.114346042f, 0.206336483f, 0.0361083075f}, {0.554715931f, 0.0867286772f, 0.0224847272f}}},
    {28, 1.62, 0, {{-0.416764736f, -0.162647098f, -0.0355882496f}, {1.08323526f, 1.33735299f, 1.46441174f}, {0.834508657f, 0.329263151f, 0.0766403079f}, {0.975519061f, 0.296591759f, -0.00209342875f}, {-0.122577876f, 0.181782052f, 1.08195508f}, {1.07344306f, -0.14351213f, 0.0766403079f}}},
    {29, 0.82, 0.3, {{0.0560362898f, 0.110257387f, 0.139344558f}, {1.0f, 1.0f, 0.786595821f}, {0.517863989f, 0.676853895f, 0.525025487f}, {0.928851604f, 0.656743228f, 0.318166167f}, {0.132902443f, 0.476518631f, 0.716509104f}, {0.996470571f, 0.1710307f, 0.505040884f}}},
    {30, 0.82, 0.3, {{0.112183131f, 0.0579589121f, 0.141276211f}, {1.0f, 1.0f, 0.774003923f}, {0.664935946f, 0.505949974f, 0.51313132f}, {0.947509289f, 0.474028885f, 0.300283939f}, {0.221870318f, 0.291699231f, 0.700406015f}, {0.996470571f, 0.0928362459f, 0.489796937f}}},
    {31, 0.82, 0.3, {{0.150395378f, 0.109849319f, 0.0f}, {1.0f, 0.921498477f, 0.655009747f}, {0.741337836f, 0.535844922f, 0.241789922f}, {0.961176515f, 0.520859122f, 0.0781112984f}, {0.299672246f, 0.390942514f, 0.475547552f}, {0.996470571f, 0.156586379f, 0.218357816f}}},
    {32, 0.82, 0.3, {{0.359628797f, 0.248431414f, 0.179972664f}, {1.0f, 1.0f, 1.0f}, {0.806021094f, 0.703255713f, 0.646817923f}, {0.961176515f, 0.680240154f, 0.346212417f}, {0.47449857f, 0.590015173f, 0.920222878f}, {0.996470571f, 0.273082525f, 0.646817923f}}},
    {33, 0.82, 0.3, {{0.14295736f, 0.0f, 0.0742823482f}, {1.0f, 1.0f, 0.8485412f}, {0.609715819f, 0.532839537f, 0.462929964f}, {0.840453982f, 0.493006468f, 0.19573471f}, {0.264205694f, 0.325280428f, 0.74227041f}, {0.993977904f, 0.00352941197f, 0.462929964f}}},
    {34, 0.82, 0.3, {{0.0f, 0.0674334168f, 0.0f}, {1.0f, 1.0f, 1.0f}, {0.457711637f, 0.638077557f, 0.457711637f}, {0.801434278f, 0.599044859f, 0.0914258137f}, {0.0608160719f, 0.451190531f, 0.887008369f}, {0.996470571f, 0.084172681f, 0.457711637f}}},
    {35, 0.82, 0.3, {{0.00564628001f, 0.00563850719f, 0.284832507f}, {1.0f, 1.0f, 0.791132212f}, {0.605280101f, 0.605280578f, 0.588315606f}, {0.694458127f, 0.568199873f, 0.497722238f}, {0.371115625f, 0.466578066f, 0.624665678f}, {0.777638197f, 0.392373174f, 0.571739137f}}},
    {36, 0.82, 0.3, {{0.176922798f, 0.0047222767f, 0.0f}, {0.831665039f, 0.921866179f, 0.921859205f}, {0.477492779f, 0.437011302f, 0.273143411f}, {0.537082016f, 0.40617314f, 0.13842921f}, {0.344923496f, 0.344991982f, 0.352482915f}, {0.588042736f, 0.263932705f, 0.258027136f}}},
    {37, 0.82, 0.3, {{0.0718389601f, 0.0555716977f, 0.0805668831f}, {0.995052278f, 0.995053828f, 0.940933287f}, {0.604337871f, 0.556642056f, 0.558796406f}, {0.737475991f, 0.555902481f, 0.464249581f}, {0.303277433f, 0.353873193f, 0.540720522f}, {0.736340761f, 0.347642004f, 0.527505279f}}},
    {38, 0.82, 0.3, {{0.0163999964f, 0.0157439988f, 0.0f}, {0.983599961f, 0.977696002f, 0.835999966f}, {0.502921522f, 0.486521721f, 0.0929255784f}, {0.870763779f, 0.336228609f, 0.0282352958f}, {0.0211764723f, 0.360189736f, 0.63121587f}, {0.848883629f, 0.00352941197f, 0.0929255784f}}},
    {39, 0.82, 0.3, {{0.0163999964f, 0.0157439988f, 0.0f}, {0.983599961f, 0.977696002f, 0.180000007f}, {0.502921522f, 0.486426532f, 0.0903529525f}, {0.870763779f, 0.336228609f, 0.0282352958f}, {0.0211764723f, 0.360189736f, 0.155294135f}, {0.498579443f, 0.00352941197f, 0.0903529525f}}},
    {40, 0.82, 0.3, {{0.0155799994f, 0.0155799994f, 0.0155799994f}, {0.984420002f, 0.984420002f, 0.984420002f}, {0.743662119f, 0.510961652f, 0.262212932f}, {0.851413965f, 0.464043677f, 0.101426005f}, {0.270100355f, 0.378137767f, 0.700790584f}, {0.957700253f, 0.100261904f, 0.25996694f}}},
    {41, 0.82, 0.3, {{0.046575997f, 0.046575997f, 0.046575997f}, {0.927183986f, 0.927183986f, 0.927183986f}, {0.436272174f, 0.436272174f, 0.436272174f}, {0.734504938f, 0.473328054f, 0.212151125f}, {0.115134276f, 0.248597831f, 0.5377689f}, {0.81602478f, 0.0871961266f, 0.45309782f}}},
    {42, 0, 0, {{0.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 1.0f}, {0.501960814f, 0.501960814f, 0.501960814f}, {0.784313798f, 0.470588267f, 0.156862751f}, {0.117647067f, 0.352941185f, 0.862745166f}, {0.980392218f, 0.0196078438f, 0.501960814f}}},
};
// clang-format on

std::unique_ptr<PP_ImageFilter> makeEffect(int mode, const std::string& texture = "tex.png") {
    auto effect = std::make_unique<PP_ImageFilter>();
    effect->init({}, "Look", texture, mode, 3, "Category");
    return effect;
}

void setParameters(PP_ImageFilter& effect, double p1, double p2) {
    if (PostProcessParameter* p = effect.param_1()) p->setValue(p1);
    if (PostProcessParameter* p = effect.param_2()) p->setValue(p2);
}

// The hook's answers along the row of a picture, with the run's preparation done at full size.
std::vector<pixel_t> hookRow(PP_ImageFilter& effect, const graphics::ImagePtr& image) {
    PostProcess::global_clean();
    effect.prepare(image);
    EXPECT_TRUE(PostProcess::global_pre_init(image));
    effect.pre_init();
    effect.prepare_for_process();
    std::vector<pixel_t> out;
    for (int x = 0; x < PostProcess::g_width; ++x)
        out.push_back(effect.process_pixel_x(x, 0, 0));
    effect.process_ended();
    return out;
}

graphics::ImagePtr rowImage(const std::vector<Rgb>& colours) {
    return makeSourceImage(int(colours.size()), 1, [&](int x, int) { return colours[size_t(x)]; });
}

// Test bundle with picture files written by the test.
class TextureBlend : public ::testing::Test {
  protected:
    void write(const std::string& file, int w, int h, Rgb c) {
        TestBundle::writePicture(bundle.main() / file, w, h, c.r, c.g, c.b);
    }
    // Red marks the right half, green the bottom half, blue names the file.
    void writeQuadrants(const std::string& file, int w, int h, uint8_t blue) {
        TestBundle::writePicture(bundle.main() / file, w, h, [=](int x, int y) {
            return std::array<uint8_t, 3>{uint8_t(x < w / 2 ? 40 : 200), uint8_t(y < h / 2 ? 40 : 200), blue};
        });
    }
    void remove(const std::string& file) { std::filesystem::remove(bundle.main() / file); }

    WorkingImageGuard guard;
    TestBundle bundle;
};

// Mode 6 hands the texel through unchanged when any channel is at most 0.9 of full.
Rgb texelAt(PP_ImageFilter& effect, const graphics::ImagePtr& image, int previewStep, int x, int y) {
    PostProcess::global_clean();
    const EffectOutput out = runEffect(effect, image, previewStep);
    const int step = previewStep > 0 ? previewStep : 1;
    return out.at(x / step, y / step);
}

} // namespace

TEST(TextureBlendParameters, EachModeHasItsSliders) {
    const ParamSpec none{};
    const ParamSpec amount{"Amount", 0.1, 2.0, 1.0};
    const ParamSpec brightness12{"Brightness", 1.0, 3.0, 1.2};
    const ParamSpec brightness13{"Brightness", 1.0, 3.0, 1.3};
    const ParamSpec strength{"Brightness", 2.0, 5.0, 3.0};
    const ParamSpec mixAmount{"Amount", 0.4, 1.6, 1.0};
    struct Case {
        std::vector<int> modes;
        ParamSpec first, second;
    };
    const std::vector<Case> cases = {
        {{1, 18, 19, 20, 26, 27, 28}, amount, none},
        {{2}, {"Amount", 0.5, 1.5, 1.0}, none},
        {{4}, brightness12, {"Amount", 1.0, 2.0, 1.0}},
        {{7}, brightness12, none},
        {{5}, brightness13, none},
        {{11}, brightness13, mixAmount},
        {{12, 13, 14}, strength, mixAmount},
        {{15}, {"Contrast", 0.7, 1.5, 1.0}, none},
        {{16}, {"Amount", 0.1, 2.0, 1.44}, none},
        {{22}, {"Amount", 0.2, 1.0, 1.0}, none},
        {{23}, {"Amount", 0.1, 1.0, 1.0}, none},
        {{25}, {"Amount", 0.4, 1.0, 1.0}, none},
        {{29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41},
         {"Amount", double(0.1f), 1.0, 1.0},
         {"Contrast", 0.0, 1.0, 0.5}},
        {{0, 3, 6, 8, 9, 10, 17, 21, 24, -1, 42}, none, none},
    };
    for (const Case& c : cases)
        for (int mode : c.modes) {
            SCOPED_TRACE("mode " + std::to_string(mode));
            auto effect = makeEffect(mode);
            expectParameter(effect->param_1(), c.first, "param_1");
            expectParameter(effect->param_2(), c.second, "param_2");
            EXPECT_EQ(effect->param_1(), effect->param_1()) << "made once";
        }
}

TEST(TextureBlendParameters, IdentityComesFromTheCatalogueRow) {
    auto effect = makeEffect(16, "pf_vintage_2.jpg");
    EXPECT_EQ(effect->get_name(), "Look");
    EXPECT_EQ(effect->get_categorie(), "Category");
    EXPECT_EQ(effect->get_index(), 3);
    EXPECT_EQ(effect->class_name(), "PP_ImageFilter");
    EXPECT_TRUE(effect->this_filter_is_simply_color_modify());
}

TEST_F(TextureBlend, EveryModeFollowsItsFormula) {
    write("tex.png", 2, 2, kTexel);
    const graphics::ImagePtr image = rowImage(kInputs);
    for (const ModeCase& c : kModeCases) {
        SCOPED_TRACE("mode " + std::to_string(c.mode));
        auto effect = makeEffect(c.mode);
        setParameters(*effect, c.p1, c.p2);
        const std::vector<pixel_t> got = hookRow(*effect, image);
        ASSERT_EQ(got.size(), kInputs.size());
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_NEAR(got[i].r, c.out[i][0], 2e-6f) << "input " << kInputs[i];
            EXPECT_NEAR(got[i].g, c.out[i][1], 2e-6f) << "input " << kInputs[i];
            EXPECT_NEAR(got[i].b, c.out[i][2], 2e-6f) << "input " << kInputs[i];
        }
        expectRunStoresItsHookValues(*effect, image);
        PostProcess::global_clean();
        expectRunStoresItsHookValues(*effect, image, 1);
    }
}

TEST_F(TextureBlend, BrightTexelsOverrideOrPassTheSource) {
    write("tex.png", 2, 2, {250, 250, 250});
    const graphics::ImagePtr image = rowImage(kInputs);
    for (int mode : {5, 6, 11}) {
        SCOPED_TRACE("mode " + std::to_string(mode));
        auto effect = makeEffect(mode);
        setParameters(*effect, 2.6, 0.76);
        std::vector<PixelCase> cases;
        for (const Rgb& in : kInputs)
            cases.push_back({in, mode == 6 ? in : Rgb{250, 250, 250}});
        expectPixels(*effect, cases);
    }
}

TEST_F(TextureBlend, ModeSevenReadsTheSourceOffTheDiagonal) {
    const graphics::ImagePtr image = makeSourceImage(16, 16, [](int, int) { return Rgb{200, 120, 40}; });
    struct Case {
        Rgb texel;
        int offset;                  // which way the grey is read from
        std::array<float, 3> inside; // where that position lies inside the picture
    };
    const Case cases[] = {
        {{180, 100, 60}, -6, {0.863667786f, 0.479815483f, 0.287889272f}},
        {{220, 200, 150}, 6, {1.05559397f, 0.959630966f, 0.719723165f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.offset);
        write("tex.png", 2, 2, c.texel);
        auto effect = makeEffect(7);
        setParameters(*effect, 2.6, 0.0);
        effect->prepare(image);
        ASSERT_TRUE(PostProcess::global_pre_init(image));
        effect->pre_init();
        effect->prepare_for_process();
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const bool inside =
                    x + c.offset >= 0 && x + c.offset < 16 && y + c.offset >= 0 && y + c.offset < 16;
                const pixel_t p = effect->process_pixel_x(x, y, 0);
                EXPECT_NEAR(p.r, inside ? c.inside[0] : 0.0f, 2e-6f) << x << ", " << y;
                EXPECT_NEAR(p.g, inside ? c.inside[1] : 0.0f, 2e-6f) << x << ", " << y;
                EXPECT_NEAR(p.b, inside ? c.inside[2] : 0.0f, 2e-6f) << x << ", " << y;
            }
        effect->process_ended();
        expectRunStoresItsHookValues(*effect, image);
        PostProcess::global_clean();
        expectRunStoresItsHookValues(*effect, image, 3);
        PostProcess::global_clean();
    }
}

TEST_F(TextureBlend, BlendPropertiesHoldForAnySource) {
    std::vector<Rgb> sweep;
    for (int v = 0; v < 256; v += 5)
        sweep.push_back({uint8_t(v), uint8_t(255 - v), uint8_t(v * 7 % 256)});
    const graphics::ImagePtr image = rowImage(sweep);
    write("grey.png", 2, 2, {128, 128, 128});
    write("bright.png", 2, 2, {255, 255, 255});

    // Overlay and soft light over mid-grey leave the picture as it is, at any amount.
    for (int mode : {16, 19})
        for (double amount : {0.1, 1.0, 2.0}) {
            SCOPED_TRACE("mode " + std::to_string(mode) + " amount " + std::to_string(amount));
            auto effect = makeEffect(mode, "grey.png");
            setParameters(*effect, amount, 0.0);
            PostProcess::global_clean();
            const EffectOutput out = runEffect(*effect, image);
            for (int i = 0; i < out.w; ++i) {
                const Rgb a = out.at(i, 0), b = out.sourceAt(i, 0);
                EXPECT_LE(std::abs(a.r - b.r), 1) << sweep[size_t(i)];
                EXPECT_LE(std::abs(a.g - b.g), 1) << sweep[size_t(i)];
                EXPECT_LE(std::abs(a.b - b.b), 1) << sweep[size_t(i)];
            }
        }

    const std::vector<pixel_t> difference = hookRow(*makeEffect(8, "bright.png"), image);
    const std::vector<pixel_t> grey = hookRow(*makeEffect(15, "grey.png"), image);
    const std::vector<pixel_t> brighter = hookRow(*makeEffect(24, "bright.png"), image);
    for (size_t i = 0; i < sweep.size(); ++i) {
        SCOPED_TRACE(testing::Message() << sweep[i]);
        const pixel_t s = PostProcess::get_source_pixel(int32_t(i), 0);
        EXPECT_EQ(difference[i].r, 0.0f);
        EXPECT_EQ(difference[i].g, 0.0f);
        EXPECT_EQ(difference[i].b, 0.0f);
        EXPECT_EQ(grey[i].r, grey[i].g);
        EXPECT_EQ(grey[i].g, grey[i].b);
        EXPECT_GE(brighter[i].r, s.r + 0.5f);
        EXPECT_GE(brighter[i].g, s.g + 0.5f);
        EXPECT_GE(brighter[i].b, s.b + 0.5f);
    }
}

TEST_F(TextureBlend, GradingIgnoresTheTexture) {
    write("a.png", 2, 2, {10, 200, 30});
    write("b.png", 2, 2, {250, 20, 120});
    const graphics::ImagePtr image = rowImage(kInputs);
    for (int mode = 29; mode <= 41; ++mode) {
        SCOPED_TRACE("mode " + std::to_string(mode));
        auto a = makeEffect(mode, "a.png");
        auto b = makeEffect(mode, "b.png");
        auto none = makeEffect(mode, "missing.png");
        const std::vector<pixel_t> ra = hookRow(*a, image), rb = hookRow(*b, image),
                                   rn = hookRow(*none, image);
        for (size_t i = 0; i < ra.size(); ++i) {
            EXPECT_EQ(ra[i].r, rb[i].r);
            EXPECT_EQ(ra[i].g, rb[i].g);
            EXPECT_EQ(ra[i].b, rb[i].b);
            EXPECT_EQ(ra[i].r, rn[i].r);
            EXPECT_EQ(ra[i].g, rn[i].g);
            EXPECT_EQ(ra[i].b, rn[i].b);
        }
    }
}

TEST_F(TextureBlend, GradingBytesAtTheEnds) {
    // Defaults: grey 128 takes the warm-down curve of mode 41 to 107.
    auto grey = makeEffect(41);
    expectPixels(
        *grey,
        {{{128, 128, 128}, {107, 107, 107}}, {{0, 0, 0}, {0, 0, 0}}, {{255, 255, 255}, {255, 255, 255}}});

    // Full contrast drives green to 0, whose logarithm is minus infinity: clamped, never NaN.
    auto log = makeEffect(33);
    setParameters(*log, 1.0, 1.0);
    const std::vector<PixelCase> cases = {
        {{200, 0, 40}, {255, 0, 0}}, {{10, 60, 250}, {0, 0, 231}}, {{255, 85, 0}, {255, 0, 0}}};
    expectPixels(*log, cases);
    std::vector<Rgb> inputs;
    for (const PixelCase& c : cases)
        inputs.push_back(c.first);
    PostProcess::global_clean();
    for (const pixel_t& p : hookRow(*log, rowImage(inputs))) {
        EXPECT_TRUE(std::isfinite(p.r) && std::isfinite(p.g) && std::isfinite(p.b));
    }
}

TEST_F(TextureBlend, TextureIsLaidAcrossOrUprightByOrientation) {
    struct Case {
        const char* what;
        int w, h;        // the picture
        int tw, th;      // the texture file "q.png"
        bool upright;    // a "q_v.png" file, 10 x 16, exists
        bool transposed; // the texture is read with x and y exchanged
        uint8_t blue;    // the file the texel came from
    };
    const Case cases[] = {
        {"landscape, landscape texture", 12, 8, 16, 10, false, false, 60},
        {"portrait without _v", 8, 12, 16, 10, false, true, 60},
        {"portrait with _v", 8, 12, 16, 10, true, false, 120},
        {"square, landscape texture", 10, 10, 16, 10, true, false, 60},
        {"landscape, portrait texture", 12, 8, 10, 16, true, true, 60},
        {"landscape, square texture", 12, 8, 10, 10, false, false, 60},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeQuadrants("q.png", c.tw, c.th, 60);
        if (c.upright)
            writeQuadrants("q_v.png", 10, 16, 120);
        else
            remove("q_v.png");
        const graphics::ImagePtr image = makeSourceImage(c.w, c.h, patternColour);
        auto effect = makeEffect(6, "q.png");
        // Top-right corner: right half of the texture read directly, bottom half when transposed.
        const Rgb topRight = texelAt(*effect, image, 0, c.w - 1, 0);
        const Rgb bottomLeft = texelAt(*effect, image, 0, 0, c.h - 1);
        EXPECT_EQ(topRight,
                  (Rgb{uint8_t(c.transposed ? 40 : 200), uint8_t(c.transposed ? 200 : 40), c.blue}));
        EXPECT_EQ(bottomLeft,
                  (Rgb{uint8_t(c.transposed ? 200 : 40), uint8_t(c.transposed ? 40 : 200), c.blue}));
    }
}

TEST_F(TextureBlend, PreviewLooksForTheSmallFileFirst) {
    struct Case {
        const char* what;
        int w, h;
        std::vector<std::pair<const char*, uint8_t>> files; // name and its blue
        uint8_t blue;                                       // the one used
    };
    const Case cases[] = {
        {"portrait, all four",
         8,
         12,
         {{"t_small_v.png", 10}, {"t_small.png", 20}, {"t_v.png", 30}, {"t.png", 40}},
         10},
        {"portrait, no _small_v", 8, 12, {{"t_small.png", 20}, {"t_v.png", 30}, {"t.png", 40}}, 20},
        {"portrait, no _small", 8, 12, {{"t_v.png", 30}, {"t.png", 40}}, 30},
        {"portrait, plain only", 8, 12, {{"t.png", 40}}, 40},
        {"landscape, all four",
         12,
         8,
         {{"t_small_v.png", 10}, {"t_small.png", 20}, {"t_v.png", 30}, {"t.png", 40}},
         20},
        {"landscape, no _small", 12, 8, {{"t_v.png", 30}, {"t.png", 40}}, 40},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const char* f : {"t_small_v.png", "t_small.png", "t_v.png", "t.png"})
            remove(f);
        for (const auto& [name, blue] : c.files)
            write(name, 6, 6, {70, 80, blue});
        auto effect = makeEffect(6, "t.png");
        EXPECT_EQ(texelAt(*effect, makeSourceImage(c.w, c.h, patternColour), 2, 2, 2), (Rgb{70, 80, c.blue}));
    }
}

TEST_F(TextureBlend, PreviewKeepsItsTextureWhileTheSizeHolds) {
    const graphics::ImagePtr landscape = makeSourceImage(12, 8, patternColour);
    const graphics::ImagePtr portrait = makeSourceImage(8, 12, patternColour);
    write("k.png", 6, 4, {10, 10, 10});
    auto effect = makeEffect(6, "k.png");
    effect->on_preview_entered();
    EXPECT_EQ(texelAt(*effect, landscape, 2, 0, 0), (Rgb{10, 10, 10}));
    write("k.png", 6, 4, {20, 20, 20});
    EXPECT_EQ(texelAt(*effect, landscape, 2, 0, 0), (Rgb{10, 10, 10})) << "kept between previews";
    // A picture of another orientation needs its own texture, and finds the upright file.
    write("k_v.png", 4, 6, {30, 30, 30});
    EXPECT_EQ(texelAt(*effect, portrait, 2, 0, 0), (Rgb{30, 30, 30}));
    // A full-size run reloads, and the next preview does not reuse a texture of the full size.
    write("k_v.png", 4, 6, {40, 40, 40});
    EXPECT_EQ(texelAt(*effect, portrait, 0, 0, 0), (Rgb{40, 40, 40}));
    write("k_v.png", 4, 6, {50, 50, 50});
    EXPECT_EQ(texelAt(*effect, portrait, 2, 0, 0), (Rgb{50, 50, 50}));
    // Leaving preview drops it.
    effect->on_preview_exit();
    write("k_v.png", 4, 6, {60, 60, 60});
    effect->on_preview_entered();
    EXPECT_EQ(texelAt(*effect, portrait, 2, 0, 0), (Rgb{60, 60, 60}));
    effect->on_preview_exit();
    // Outside preview every run loads anew.
    write("k_v.png", 4, 6, {70, 70, 70});
    EXPECT_EQ(texelAt(*effect, portrait, 2, 0, 0), (Rgb{70, 70, 70}));
    write("k_v.png", 4, 6, {80, 80, 80});
    EXPECT_EQ(texelAt(*effect, portrait, 2, 0, 0), (Rgb{80, 80, 80}));
}

TEST_F(TextureBlend, WithoutAnyTextureFileThePicturePassesThrough) {
    TestBundle::writeJunk(bundle.main() / "junk.png");
    const graphics::ImagePtr image = makeSourceImage(9, 7, patternColour);
    for (const char* texture : {"absent.jpg", "junk.png"})
        for (int mode : {1, 3, 6, 8, 17, 24}) {
            SCOPED_TRACE(testing::Message() << texture << " mode " << mode);
            auto effect = makeEffect(mode, texture);
            for (int step : {0, 2}) {
                PostProcess::global_clean();
                const EffectOutput out = runEffect(*effect, image, step);
                for (int j = 0; j < out.h; ++j)
                    for (int i = 0; i < out.w; ++i)
                        EXPECT_TRUE(out.sameAsSource(i, j)) << i << ", " << j;
            }
        }
}

// The looks of the catalogue over the textures the build generates.
TEST(TextureBlendArtwork, CatalogueLooksFindTheirTextures) {
    WorkingImageGuard guard;
    const std::vector<std::string> looks = {
        "Midway",         "Rainbow Palette 1",    "Ancient Canvas", "Old TV",
        "Atlantic Beach", "Color Sunlight Spots", "Socorro",        "Vintage"};
    std::vector<std::unique_ptr<PostProcess>> effects;
    for (const auto& entry : PostProcessesManager::catalogueEntries()) {
        std::unique_ptr<PostProcess> effect = entry(0);
        if (effect->class_name() == "PP_ImageFilter") effects.push_back(std::move(effect));
    }
    ASSERT_EQ(effects.size(), looks.size());
    for (size_t i = 0; i < looks.size(); ++i) {
        PostProcess& effect = *effects[i];
        EXPECT_EQ(effect.get_name(), looks[i]);
        for (const graphics::ImagePtr& image :
             {makeSourceImage(48, 32, patternColour), makeSourceImage(32, 48, patternColour)}) {
            SCOPED_TRACE(testing::Message() << looks[i] << " " << image->width() << " x " << image->height());
            PostProcess::global_clean();
            expectRunStoresItsHookValues(effect, image);
            for (int step : {0, 2}) {
                PostProcess::global_clean();
                const EffectOutput out = runEffect(effect, image, step);
                int changed = 0;
                for (int j = 0; j < out.h; ++j)
                    for (int i2 = 0; i2 < out.w; ++i2)
                        changed += !out.sameAsSource(i2, j);
                EXPECT_GT(changed, out.w * out.h / 2) << "step " << step;
            }
        }
    }
}
