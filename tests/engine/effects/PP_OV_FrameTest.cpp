// The frame effect over a frame set written in each test: identity and thumbnail, the faded piece
// sides, border and canvas sizes, a pixel table at full size and in the small preview, centred
// tiles, edge ornaments, missing pieces, cancellation, and the manager's frame pass.
#include "engine/effects/texture/PP_OV_Frame.h"

#include "engine/PostProcessParameter.h"
#include "engine/PostProcessesManager.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Thread.h"
#include "platform/graphics/PixelConversion.h"
#include "platform/services/KXServiceUtils.h"

#include "support/FakeManagerDelegate.h"
#include "support/ImagePixels.h"
#include "support/PixelEffectRun.h"
#include "support/ScopedBackingScale.h"
#include "support/ScopedEnvironment.h"
#include "support/StubEffects.h"
#include "support/TestBundle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

using Colour = std::array<uint8_t, 3>;
using Painter = std::function<Colour(int x, int y)>;

constexpr Colour kUL{200, 0, 0}, kUR{0, 200, 0}, kDL{0, 0, 200}, kDR{200, 200, 0};
constexpr Colour kU{0, 200, 200}, kD{200, 0, 200}, kL{90, 60, 30}, kR{30, 90, 60};
constexpr Colour kPicture{120, 130, 140}, kWhite{255, 255, 255}, kMarker{250, 250, 10};

bool near(Rgb a, Colour b, int tolerance = 1) {
    return std::abs(int(a.r) - int(b[0])) <= tolerance && std::abs(int(a.g) - int(b[1])) <= tolerance &&
           std::abs(int(a.b) - int(b[2])) <= tolerance;
}

std::string text(Rgb c) {
    return "(" + std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b) + ")";
}

graphics::ImagePtr uniformPicture(int w, int h, Colour c = kPicture) {
    return makeSourceImage(w, h, [c](int, int) { return Rgb{c[0], c[1], c[2]}; });
}

Painter uniform(Colour c) {
    return [c](int, int) { return c; };
}

// Frame 1 of gallery 2: 40 x 40 corners, 120 x 40 upper and lower strips, 40 x 120 side strips,
// and a 16 x 12 thumbnail, all PNG.
class Frame : public ::testing::Test {
  protected:
    void SetUp() override {
        environment.set("OPALENE_CONFIG_DIR", (bundle.main() / "config").string());
        environment.set("OPALENE_DATA_DIR", (bundle.main() / "data").string());
    }

    std::filesystem::path file(const std::string& piece, const char* type = "png") const {
        return bundle.main() / ("f1_g2_" + piece + "." + type);
    }

    void writePiece(const std::string& piece, const Painter& paint) const {
        const bool corner = piece.size() == 2;
        const bool side = piece == "l" || piece == "r";
        const int w = piece == "preview" ? 16 : (corner || side ? 40 : 120);
        const int h = piece == "preview" ? 12 : (side ? 120 : 40);
        TestBundle::writePicture(file(piece), w, h, paint);
    }

    // Corners of one colour each; "d" painted as "u" and "r" as "l".
    void writeFrameSet(const Painter& u, const Painter& l) const {
        writePiece("ul", uniform(kUL));
        writePiece("ur", uniform(kUR));
        writePiece("dl", uniform(kDL));
        writePiece("dr", uniform(kDR));
        writePiece("u", u);
        writePiece("d", u);
        writePiece("l", l);
        writePiece("r", l);
        writePiece("preview", uniform(kWhite));
    }
    void writeUniformFrameSet() const {
        writePiece("ul", uniform(kUL));
        writePiece("ur", uniform(kUR));
        writePiece("dl", uniform(kDL));
        writePiece("dr", uniform(kDR));
        writePiece("u", uniform(kU));
        writePiece("d", uniform(kD));
        writePiece("l", uniform(kL));
        writePiece("r", uniform(kR));
        writePiece("preview", uniform(kWhite));
    }

    static std::unique_ptr<PP_OV_Frame> makeFrame(bool underFrame, bool simple, float scale) {
        auto frame = std::make_unique<PP_OV_Frame>();
        frame->init({}, 0);
        frame->setup_name("Test Frame", "Frames", 2, 1, underFrame, simple, scale);
        frame->set_silent_mode(true);
        return frame;
    }

    // One whole-image run, as the run loop makes it.
    static graphics::ImagePtr run(PP_OV_Frame& frame, const graphics::ImagePtr& picture, double width = 100,
                                  bool smallPreview = false) {
        frame.param_1()->setValue(width);
        frame.setIsSmallPreview(smallPreview);
        frame.set_preview_mode(smallPreview);
        frame.prepare(picture);
        RunRecorder recorder;
        graphics::ImagePtr result = frame.process();
        EXPECT_EQ(recorder.named("EndProcess").size(), 1u);
        return result;
    }

    TestBundle bundle;
    ScopedEnvironment environment;
    WorkingImageGuard guard;
};

TEST_F(Frame, IdentityParameterAndPreviewFile) {
    auto frame = makeFrame(false, true, 1.0f);
    EXPECT_EQ(frame->class_name(), "PP_OV_Frame");
    EXPECT_EQ(frame->get_name(), "Test Frame");
    EXPECT_EQ(frame->get_categorie(), "Frames");
    EXPECT_EQ(frame->gal_idx(), 2);
    EXPECT_EQ(frame->frame_idx(), 1);
    EXPECT_TRUE(frame->isFrame());
    EXPECT_TRUE(frame->has_custom_process_function());
    EXPECT_TRUE(frame->preview_needs_frame());
    EXPECT_FALSE(frame->preview_view_needs_frame());
    expectParameter(frame->param_1(), {"Width", 50.0, 200.0, 100.0}, "param_1");
    EXPECT_EQ(frame->param_2(), nullptr);
    EXPECT_EQ(frame->custom_preview_file(), "f1_g2_preview");
}

// Whether a thumbnail file exists and whether it loads give the same answer, for either type and
// either bundle.
TEST_F(Frame, ThumbnailFileIsFoundWhereItLoads) {
    auto frame = makeFrame(false, true, 1.0f);
    const std::filesystem::path shared = bundle.shared() / "f1_g2_preview.png";
    struct Case {
        const char* what;
        std::filesystem::path path;
    };
    const Case cases[] = {
        {"jpg", file("preview", "jpg")}, {"png", file("preview")}, {"shared png", shared}, {"none", {}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const auto& p : {file("preview", "jpg"), file("preview"), shared})
            std::filesystem::remove(p);
        if (!c.path.empty()) TestBundle::writePicture(c.path, 16, 12, 10, 20, 30);
        const bool expected = !c.path.empty();
        EXPECT_EQ(frame->has_custom_preview_file(), expected);
        const graphics::ImagePtr thumbnail = frame->previewImage();
        EXPECT_EQ(thumbnail != nullptr, expected);
        if (thumbnail) EXPECT_EQ(thumbnail->width(), 16);
    }
}

TEST_F(Frame, FirstThumbnailStaysUntilCleared) {
    auto frame = makeFrame(false, true, 1.0f);
    std::vector<const void*> posts;
    foundation::NotificationCenter::defaultCenter().addObserver(
        this, PostProcessPreviewImageDidChangeNotification, nullptr,
        [&](const foundation::Notification& n) { posts.push_back(n.object.identity()); });
    const graphics::ImagePtr a = uniformPicture(2, 2), b = uniformPicture(2, 2);
    frame->setPreviewImage(a);
    frame->setPreviewImage(b);
    EXPECT_EQ(frame->previewImage(), a);
    frame->setPreviewImage(nullptr);
    EXPECT_EQ(frame->previewImage(), nullptr);
    frame->setPreviewImage(b);
    EXPECT_EQ(frame->previewImage(), b);
    EXPECT_EQ(posts, (std::vector<const void*>{frame.get(), frame.get(), frame.get()}));
    foundation::NotificationCenter::defaultCenter().removeObserver(this);
}

// Premultiplied A,R,G,B bytes of a piece.
std::array<int, 4> argbAt(const graphics::ImagePtr& image, int x, int y) {
    const uint8_t* p = image->row(y) + size_t(x) * 4;
    return {p[0], p[1], p[2], p[3]};
}

TEST_F(Frame, PieceSidesKeepTheirColumnsAndRows) {
    // Source pixel (x, y) carries its position in its colour.
    const graphics::ImagePtr piece = makeSourceImage(8, 4, [](int x, int y) {
        return Rgb{uint8_t(10 + x * 30), uint8_t(10 + y * 60), 77};
    });
    struct Case {
        int side, size, w, h;
        std::function<std::array<int, 2>(int x, int y)> source; // {-1, -1}: left empty
    };
    const Case cases[] = {
        {0, 3, 3, 4,
         [](int x, int y) {
             return std::array<int, 2>{x, y};
         }},
        // Columns W - s - 1 .. W - 2: the last column is left out.
        {1, 3, 3, 4,
         [](int x, int y) {
             return std::array<int, 2>{x + 4, y};
         }},
        {1, 8, 8, 4,
         [](int x, int y) {
             return x == 0 ? std::array<int, 2>{-1, -1} : std::array<int, 2>{x - 1, y};
         }},
        {2, 2, 8, 2,
         [](int x, int y) {
             return std::array<int, 2>{x, y};
         }},
        {3, 2, 8, 2,
         [](int x, int y) {
             return std::array<int, 2>{x, y + 2};
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("side " + std::to_string(c.side) + " size " + std::to_string(c.size));
        const graphics::ImagePtr out = PP_OV_Frame::makeGradientedImage(piece, c.side, 0, c.size);
        ASSERT_NE(out, nullptr);
        ASSERT_EQ(out->width(), c.w);
        ASSERT_EQ(out->height(), c.h);
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x) {
                const std::array<int, 2> s = c.source(x, y);
                const std::array<int, 4> expected =
                    s[0] < 0 ? std::array<int, 4>{0, 0, 0, 0}
                             : std::array<int, 4>{255, 10 + s[0] * 30, 10 + s[1] * 60, 77};
                EXPECT_EQ(argbAt(out, x, y), expected) << x << "," << y;
            }
    }
    EXPECT_EQ(PP_OV_Frame::makeGradientedImage(piece, 4, 0, 3), nullptr);
    EXPECT_EQ(PP_OV_Frame::makeGradientedImage(piece, 0, 0, 0), nullptr);
    EXPECT_EQ(PP_OV_Frame::makeGradientedImage(nullptr, 0, 2, 3), nullptr);
}

// The band's factor f out of 256 at each step k across it: the stored alpha is
// ((255 f >> 8) * 255) >> 8 and each colour byte (c * (255 f >> 8)) >> 8.
TEST_F(Frame, PieceBandsFadeWithIntegerSteps) {
    const Colour c{200, 100, 50};
    const graphics::ImagePtr piece = uniformPicture(8, 4, c);
    const auto expectedAt = [&](int f) {
        const int a2 = (255 * f) >> 8;
        return std::array<int, 4>{(a2 * 255) >> 8, (c[0] * a2) >> 8, (c[1] * a2) >> 8, (c[2] * a2) >> 8};
    };
    EXPECT_EQ(expectedAt(256)[0], 254);
    EXPECT_EQ(expectedAt(192)[0], 190);
    EXPECT_EQ(expectedAt(128)[0], 126);
    EXPECT_EQ(expectedAt(64)[0], 62);
    struct Case {
        int side, gw, size;
        std::vector<int> factors; // along the columns (sides 0, 1) or rows (2, 3); -1 untouched
    };
    const Case cases[] = {
        {0, 4, 8, {-1, -1, -1, -1, 256, 192, 128, 64}},
        {1, 4, 7, {0, 64, 128, 192, -1, -1, -1}},
        {2, 3, 4, {-1, 256, 171, 86}},
        {3, 2, 4, {0, 128, -1, -1}},
    };
    for (const Case& t : cases) {
        SCOPED_TRACE("side " + std::to_string(t.side));
        const graphics::ImagePtr out = PP_OV_Frame::makeGradientedImage(piece, t.side, t.gw, t.size);
        ASSERT_NE(out, nullptr);
        const bool columns = t.side < 2;
        for (size_t i = 0; i < t.factors.size(); ++i)
            for (int j = 0; j < (columns ? out->height() : out->width()); ++j) {
                const int x = columns ? int(i) : j, y = columns ? j : int(i);
                const std::array<int, 4> expected =
                    t.factors[i] < 0 ? std::array<int, 4>{255, c[0], c[1], c[2]} : expectedAt(t.factors[i]);
                EXPECT_EQ(argbAt(out, x, y), expected) << x << "," << y;
            }
    }
}

// Border and canvas from the "ul" width (40), the picture's points, the screen scale, the frame's
// scale and "Width".
TEST_F(Frame, BorderAndCanvasSizes) {
    writeUniformFrameSet();
    struct Case {
        const char* what;
        int w, h;
        double screenScale;
        bool underFrame;
        float scale;
        double width;
        bool smallPreview;
        int canvasW, canvasH, border;
    };
    const Case cases[] = {
        {"around", 1000, 500, 1, false, 1, 100, false, 1012, 512, 6},
        {"under", 1000, 500, 1, true, 1, 100, false, 1000, 500, 6},
        {"wide border", 1000, 500, 1, false, 1, 200, false, 1024, 524, 12},
        {"narrow border", 1000, 500, 1, false, 1, 50, false, 1006, 506, 3},
        {"thick frame", 1000, 500, 1, false, 2.5f, 100, false, 1030, 530, 15},
        // Points half the pixels on a double-density screen: the same pixels, the same border.
        {"double density", 1000, 500, 2, false, 1, 100, false, 1012, 512, 6},
        {"small preview", 1000, 500, 1, false, 1, 100, true, 166, 126, 11},
        {"small preview, thick", 1000, 500, 1, false, 20, 100, true, 166, 126, 27},
    };
    ScopedBackingScale screen(1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        screen.set(c.screenScale);
        graphics::ImagePtr picture = uniformPicture(c.w, c.h);
        if (c.screenScale != 1) picture = picture->withPointSize({c.w / c.screenScale, c.h / c.screenScale});
        auto frame = makeFrame(c.underFrame, true, c.scale);
        const ImagePixels out = pixelsOf(run(*frame, picture, c.width, c.smallPreview));
        ASSERT_EQ(out.w, c.canvasW);
        ASSERT_EQ(out.h, c.canvasH);
        const int b = c.border, midY = out.h / 2;
        EXPECT_TRUE(near(out.at(b - 1, midY), kL)) << text(out.at(b - 1, midY));
        EXPECT_TRUE(near(out.at(b, midY), kPicture)) << text(out.at(b, midY));
    }
}

// Known pixels of a uniform picture in a frame of uniform pieces, at full size and in the small
// preview (where the picture fills the whole canvas under the frame).
TEST_F(Frame, PixelTableAtFullSizeAndInSmallPreview) {
    writeUniformFrameSet();
    for (const bool small : {false, true}) {
        SCOPED_TRACE(small ? "small preview" : "full size");
        auto frame = makeFrame(false, true, 5.0f);
        const ImagePixels out = pixelsOf(run(*frame, uniformPicture(1000, 500), 100, small));
        const int b = small ? 11 : 30;
        ASSERT_EQ(out.w, small ? 166 : 1060);
        ASSERT_EQ(out.h, small ? 126 : 560);
        const int w = out.w, h = out.h;
        struct Probe {
            const char* what;
            int x, y;
            Colour expected;
        };
        const Probe probes[] = {
            {"centre", w / 2, h / 2, kPicture},
            {"picture's corner", b, b, kPicture},
            {"picture's last", w - b - 1, h - b - 1, kPicture},
            {"upper left", 1, 1, kUL},
            {"upper left inner", b - 1, b - 1, kUL},
            {"upper right", w - 2, 1, kUR},
            {"lower left", 1, h - 2, kDL},
            {"lower right", w - 2, h - 2, kDR},
            {"upper edge", w / 2, b / 2, kU},
            {"upper edge, left", b + 3, 0, kU},
            {"upper edge, right", w - b - 4, b - 1, kU},
            {"lower edge", w / 2, h - 1 - b / 2, kD},
            {"left edge", b / 2, h / 2, kL},
            {"left edge, low", 0, h - b - 2, kL},
            {"right edge", w - 1 - b / 2, h / 2, kR},
            {"right edge, high", w - 1, b + 2, kR},
        };
        for (const Probe& p : probes)
            EXPECT_TRUE(near(out.at(p.x, p.y), p.expected))
                << p.what << " at " << p.x << "," << p.y << ": " << text(out.at(p.x, p.y));
    }
}

// Framing over the picture keeps its size, and the picture shows unscaled inside the border.
TEST_F(Frame, UnderFrameKeepsThePictureInside) {
    writeUniformFrameSet();
    auto frame = makeFrame(true, false, 4.0f);
    const graphics::ImagePtr picture = makeSourceImage(300, 200, patternColour);
    const ImagePixels out = pixelsOf(run(*frame, picture));
    ASSERT_EQ(out.w, 300);
    ASSERT_EQ(out.h, 200);
    const int b = 8; // 500 * 40 * 0.5 * 4 / 5000
    int wrong = 0;
    for (int y = b; y < out.h - b; ++y)
        for (int x = b; x < out.w - b; ++x) {
            const Rgb s = patternColour(x, y);
            wrong += !(out.at(x, y) == s);
        }
    EXPECT_EQ(wrong, 0);
    EXPECT_TRUE(near(out.at(b - 1, out.h / 2), kL));
}

// The tile counts are odd, so the middle tile's solid part spans the centre of each edge: a
// marker in the middle of every strip shows at the centre of its edge, for any canvas.
TEST_F(Frame, MiddleTilesAreCentredOnTheEdges) {
    // Canvas x = CW/2 falls on strip column 0.625 W, one column further left for the upper and
    // lower tiles; canvas y = CH/2 on side-strip row 0.375 H from the top.
    const auto across = [](int x, int) { return x >= 62 && x <= 86 ? kMarker : kU; };
    const auto down = [](int, int y) { return y >= 33 && y <= 57 ? kMarker : kL; };
    writeFrameSet(across, down);
    struct Case {
        int w, h;
    };
    const Case cases[] = {{1000, 500}, {640, 480}, {333, 777}, {1201, 301}, {90, 1500}};
    for (const Case& c : cases)
        for (const bool small : {false, true}) {
            SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h) + (small ? " small" : ""));
            // A border of about 40 pixels makes the tiles about their own size.
            auto frame = makeFrame(false, true, float(10000.0 / (c.w + c.h)));
            const ImagePixels out = pixelsOf(run(*frame, uniformPicture(c.w, c.h), 100, small));
            const int b = small ? 11 : 40;
            const int probes[][2] = {{out.w / 2, b / 2},
                                     {out.w / 2, out.h - 1 - b / 2},
                                     {b / 2, out.h / 2},
                                     {out.w - 1 - b / 2, out.h / 2}};
            for (const auto& p : probes)
                EXPECT_TRUE(near(out.at(p[0], p[1]), kMarker, 2))
                    << p[0] << "," << p[1] << ": " << text(out.at(p[0], p[1]));
        }
}

// Beside each corner a frame that is not simple shows the outer thirds of its strips: the first
// third of "u" and "d" after the left corners, the last third before the right ones, the upper
// third of "l" and "r" under the upper corners and the lower third over the lower ones.
TEST_F(Frame, EdgeEndsShowTheStripsOuterThirds) {
    const Colour first{250, 0, 0}, middle{0, 0, 250}, last{0, 250, 0};
    const auto thirds = [&](int i) { return i < 40 ? first : (i < 80 ? middle : last); };
    writeFrameSet([&](int x, int) { return thirds(x); }, [&](int, int y) { return thirds(y); });
    auto frame = makeFrame(false, false, 5.0f);
    const ImagePixels out = pixelsOf(run(*frame, uniformPicture(1200, 800)));
    ASSERT_EQ(out.w, 1280); // a border of 40: every piece at its own size
    const int b = 40, w = out.w, h = out.h;
    struct Probe {
        const char* what;
        int x, y;
        Colour expected;
    };
    const Probe probes[] = {
        {"upper, left end", b + 10, 5, first},     {"upper, right end", w - b - 10, 5, last},
        {"lower, left end", b + 19, h - 5, first}, {"lower, right end", w - b - 1, h - 5, last},
        {"left, upper end", 5, b + 10, first},     {"left, lower end", 5, h - b - 10, last},
        {"right, upper end", w - 5, b, first},     {"right, lower end", w - 5, h - b - 1, last},
    };
    for (const Probe& p : probes)
        EXPECT_TRUE(near(out.at(p.x, p.y), p.expected, 0)) << p.what << ": " << text(out.at(p.x, p.y));
}

// Each of the nine files missing in turn, then all: the run ends with an image. Without "ul"
// there is no border and the picture comes back as it was; without "u" the edges have no scale
// and stay white; any other missing piece uncovers what lies under it.
TEST_F(Frame, MissingPiecesAreLeftOut) {
    const graphics::ImagePtr picture = uniformPicture(1000, 500);
    struct Case {
        std::vector<std::string> missing;
        std::map<std::string, Colour> uncovered; // probes that show something else
    };
    const Case cases[] = {
        {{"ul"}, {}},
        {{"u"}, {{"u", kWhite}, {"d", kWhite}, {"l", kWhite}, {"r", kWhite}}},
        {{"ur"}, {{"ur", kR}}},
        {{"l"}, {{"l", kWhite}, {"r", kWhite}}},
        {{"r"}, {{"r", kWhite}}},
        {{"dl"}, {{"dl", kL}}},
        {{"d"}, {{"d", kWhite}}},
        {{"dr"}, {{"dr", kR}}},
        {{"preview"}, {}},
        {{"ul", "u", "ur", "l", "r", "dl", "d", "dr", "preview"}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.missing.size() == 1 ? c.missing[0] : "all");
        writeUniformFrameSet();
        for (const std::string& piece : c.missing)
            std::filesystem::remove(file(piece));
        auto frame = makeFrame(false, false, 5.0f);
        const graphics::ImagePtr result = run(*frame, picture);
        ASSERT_NE(result, nullptr);
        const bool noCorner = std::find(c.missing.begin(), c.missing.end(), "ul") != c.missing.end();
        if (noCorner) {
            EXPECT_EQ(result, picture);
            const graphics::ImagePtr thumbnail = run(*frame, picture, 100, true);
            ASSERT_NE(thumbnail, nullptr);
            EXPECT_EQ(thumbnail->width(), 166);
            continue;
        }
        const ImagePixels out = pixelsOf(result);
        ASSERT_EQ(out.w, 1060);
        const int b = 30, w = out.w, h = out.h;
        const struct {
            const char* name;
            int x, y;
            Colour colour;
        } probes[] = {
            {"ul", 1, 1, kUL},         {"ur", w - 2, 1, kUR},           {"dl", 1, h - 2, kDL},
            {"dr", w - 2, h - 2, kDR}, {"u", w / 2, b / 2, kU},         {"d", w / 2, h - 1 - b / 2, kD},
            {"l", b / 2, h / 2, kL},   {"r", w - 1 - b / 2, h / 2, kR}, {"picture", w / 2, h / 2, kPicture}};
        for (const auto& p : probes) {
            const auto other = c.uncovered.find(p.name);
            const Colour expected = other == c.uncovered.end() ? p.colour : other->second;
            EXPECT_TRUE(near(out.at(p.x, p.y), expected)) << p.name << ": " << text(out.at(p.x, p.y));
        }
    }
}

TEST_F(Frame, CancelledRunGivesNoImage) {
    writeUniformFrameSet();
    auto frame = makeFrame(false, true, 1.0f);
    frame->prepare(uniformPicture(1000, 500));
    graphics::ImagePtr result = uniformPicture(1, 1);
    {
        foundation::Thread worker([&] {
            foundation::Thread::current().cancel();
            result = frame->custom_process_function();
        });
    }
    EXPECT_EQ(result, nullptr);
}

TEST_F(Frame, ScaleToFit) {
    struct Case {
        float w, h, maxW, maxH, expected;
    };
    const Case cases[] = {{100, 50, 200, 200, 1.0f},
                          {400, 200, 200, 200, 0.5f},
                          {200, 400, 200, 200, 0.5f},
                          {300, 300, 200, 150, 150.0f / 300.0f}};
    for (const Case& c : cases)
        EXPECT_FLOAT_EQ(PP_OV_Frame::get_scaled_rect_in_w(c.w, c.h, c.maxW, c.maxH), c.expected)
            << c.w << "x" << c.h;
}

// The manager's frame pass after a full-size run: the delegate gets the framed result, the
// unframed one beside it, and progress from 80 to 98 for the frame's steps.
TEST_F(Frame, ManagerFramesTheResultOfARun) {
    writeUniformFrameSet();
    std::vector<PostProcessesManager::CatalogueEntry> entries{
        [](int32_t index) -> std::unique_ptr<PostProcess> {
            auto e = std::make_unique<StubPixelEffect>();
            e->init({}, index);
            e->pixel = [](int32_t x, int32_t y, int32_t) {
                const pixel_t s = PostProcess::get_source_pixel(x, y);
                return pixel_t{1.0f - s.r, 1.0f - s.g, 1.0f - s.b};
            };
            return e;
        }};
    // Made first: the manager's worker may still be leaving the frame's run when the test ends.
    auto frame = makeFrame(false, true, 10.0f);
    PostProcessesManager manager(entries);
    PostProcess* effect = manager.postProcesses()[0].get();
    frame->set_silent_mode(false);
    frame->param_1()->setValue(70);
    FakeManagerDelegate d;
    d.frame = frame.get();
    d.frameValue = 100;
    manager.setOriginalImage(uniformPicture(200, 100));
    manager.generateImageForPostProcess(effect, false, &d);
    ASSERT_TRUE(foundation::RunLoop::runUntil([&] { return !d.finishes.empty(); }, 20));

    const FakeManagerDelegate::Finish& f = d.finishes[0];
    EXPECT_EQ(f.effect, effect);
    EXPECT_FALSE(f.isPreview);
    const auto invert = [](uint8_t c) { return storedByte(1.0f - float(c) * (1.0f / 255.0f)); };
    const Colour inverted{invert(kPicture[0]), invert(kPicture[1]), invert(kPicture[2])};
    const ImagePixels before = pixelsOf(f.beforeFrame);
    ASSERT_EQ(before.w, 200);
    EXPECT_TRUE(near(before.at(100, 50), inverted, 0)) << text(before.at(100, 50));
    const ImagePixels out = pixelsOf(f.result);
    ASSERT_EQ(out.w, 224); // a border of 12 at "Width" 100
    ASSERT_EQ(out.h, 124);
    EXPECT_TRUE(near(out.at(112, 62), inverted));
    EXPECT_TRUE(near(out.at(1, 1), kUL));
    EXPECT_TRUE(near(out.at(112, 5), kU));
    EXPECT_EQ(frame->param_1()->value(), 70);
    ASSERT_GE(d.progress.size(), 8u);
    EXPECT_EQ(std::vector<int64_t>(d.progress.end() - 8, d.progress.end()),
              (std::vector<int64_t>{80, 81, 82, 84, 87, 90, 94, 98}));
}

} // namespace
