#include "controls/ImageAdditional.h"
#include "imageview/KXImageView.h"
#include "platform/appkit/DeferredCall.h"
#include "support/UiApplication.h"
#include "support/VirtualClock.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <cmath>

using graphics::Point;
using graphics::Rect;

namespace {

struct QuietDelegate : KXImageViewDelegate {
    void showCropErrorWithMessage(const std::string&, const std::string&) override {}
    void setStateForCropButton(bool) override {}
    int scaleChanges = 0;
    void imageScaleDidChange(double, KXImageView*) override { ++scaleChanges; }
};

// Every pixel different, opaque.
QImage pattern(int w, int h) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgba(x * 5 % 256, y * 7 % 256, (x + y * w) % 256, 255));
    return image;
}

QImage pixels(const graphics::ImagePtr& image) {
    return ImageAdditional::toQImage(image).convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

struct RotationFixture : ::testing::Test {
    QApplication& app = uiApplication();
    VirtualClock clock;
    KXImageView view;
    QuietDelegate delegate;
    RotationFixture() {
        view.resize(800, 600);
        view.setDelegate(&delegate);
    }
};

} // namespace

TEST(QuarterTurnSnapping, LeftAndRightTables) {
    struct Case {
        double a, left, right;
    } cases[] = {
        {0, 0, 0},         {1, -90, 0},       {90, -90, 0},   {90.5, -180, -90}, {179, -180, -90},
        {180, -270, -180}, {269, -270, -180}, {270, 0, -270}, {359, 0, -270},    {360, 0, 0},
        {400, 0, 0},       {-1, 0, 90},       {-90, 0, 0},    {-91, 90, 180},    {-180, 0, 0},
        {-181, 180, 270},  {-270, 0, 0},      {-271, 270, 0}, {-359, 270, 0},    {-360, 0, 0},
        {-500, 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(KXImageView::validateAngleForLeftRotationFromAngle(c.a), c.left) << c.a;
        EXPECT_EQ(KXImageView::validateAngleForRightRotationFromAngle(c.a), c.right) << c.a;
    }
}

TEST_F(RotationFixture, QuarterTurnsMovePixelsExactly) {
    const QImage source = pattern(40, 30);
    const auto image = ImageAdditional::fromQImage(source);
    const QImage turned = pixels(view.rotatedImage(image, 90));
    ASSERT_EQ(turned.size(), QSize(30, 40));
    // A counter-clockwise turn: the source's column c becomes the row counted from the bottom.
    for (int r = 0; r < 30; ++r)
        for (int c = 0; c < 40; ++c)
            ASSERT_EQ(turned.pixel(r, 39 - c), source.pixel(c, r)) << r << "," << c;

    for (double step : {90.0, -90.0, 180.0, 270.0, 450.0}) {
        auto round = image;
        const int turns = step == 180 ? 2 : 4;
        for (int i = 0; i < turns; ++i)
            round = view.rotatedImage(round, step);
        EXPECT_EQ(pixels(round), source) << step;
    }
    EXPECT_EQ(view.rotatedImage(image, 0), image);
    EXPECT_EQ(view.rotatedImage(image, 720), image);
    EXPECT_EQ(view.rotatedImage(nullptr, 90), nullptr);
}

TEST_F(RotationFixture, AnOddAngleKeepsTheWholePicture) {
    QImage plain(40, 30, QImage::Format_ARGB32_Premultiplied);
    plain.fill(QColor(200, 50, 10));
    const QImage turned = pixels(view.rotatedImage(ImageAdditional::fromQImage(plain), 45));
    ASSERT_EQ(turned.width(), int((40 + 30) / std::sqrt(2.0)));
    const int mid = turned.height() / 2;
    EXPECT_EQ(qAlpha(turned.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(turned.pixel(turned.width() - 1, turned.height() - 1)), 0);
    // Both far tips are painted: nothing was cut off on either side.
    for (int x : {8, turned.width() / 2, turned.width() - 9})
        EXPECT_EQ(turned.pixel(x, mid), qRgba(200, 50, 10, 255)) << x;
}

TEST_F(RotationFixture, ATurnEndsUprightAndFitsOnce) {
    view.setImage(ImageAdditional::fromQImage(pattern(400, 300)), false);
    const auto original = view.image();
    view.setRotationAngle(90, Point{0, 0}, false);
    EXPECT_EQ(view.countRotations(), 1u);
    EXPECT_TRUE(view.haveChanges());
    EXPECT_EQ(view.image()->width(), 300); // replaced at the start of the turn
    EXPECT_EQ(view.correctedSize().width, 300);
    const quartz::Layer* turning = &view.imageLayer();
    clock.advance(0.1);
    EXPECT_EQ(view.countRotations(), 1u);
    clock.advance(0.15);
    EXPECT_EQ(view.countRotations(), 0u);
    EXPECT_NE(&view.imageLayer(), turning); // rebuilt upright
    const Rect upright = view.imageLayer().frame();
    EXPECT_NEAR(upright.width(), 300 * view.scale(), 1e-6);
    EXPECT_NEAR(upright.height(), 400 * view.scale(), 1e-6);
    EXPECT_EQ(appkit::DeferredCall::pendingCount(static_cast<const QObject*>(&view), "zoom"), 1);

    // A second pair of turns: the fit waits for the last end.
    QCoreApplication::processEvents();
    clock.advance(1);
    const int fitsBefore = delegate.scaleChanges;
    view.setRotationAngle(90, Point{0, 0}, false);
    clock.advance(0.05);
    view.setRotationAngle(90, Point{0, 0}, false);
    EXPECT_EQ(view.countRotations(), 2u);
    EXPECT_EQ(view.image()->width(), 300); // already turned twice more
    EXPECT_EQ(view.image()->height(), 400);
    clock.advance(0.5);
    for (int pass = 0; pass < 5; ++pass)
        QCoreApplication::processEvents();
    EXPECT_EQ(view.countRotations(), 0u);
    EXPECT_EQ(delegate.scaleChanges - fitsBefore, 1); // one fit, after the last end
    EXPECT_EQ(appkit::DeferredCall::pendingCount(static_cast<const QObject*>(&view), "zoom"), 0);
    EXPECT_EQ(pixels(view.image()), pixels(view.rotatedImage(original, 270)));
    const Rect fitted = view.imageLayer().frame();
    EXPECT_NEAR(fitted.width() / fitted.height(), 300.0 / 400.0, 1e-2);
}

namespace {

struct ApplyCropFixture : RotationFixture {
    // The photo at the view's origin, one point per pixel unless told.
    void place(const QImage& source, double scale = 1) {
        view.setImage(ImageAdditional::fromQImage(source));
        view.setScale(scale);
        view.imageLayer().setFrame(Rect(0, 0, source.width() * scale, source.height() * scale));
    }
};

} // namespace

TEST_F(ApplyCropFixture, AnIntegerCropCopiesThePixels) {
    const QImage source = pattern(40, 30);
    place(source);
    view.setCropFrame(Rect(5, 4, 20, 10));
    ASSERT_TRUE(view.applyCrop());
    const QImage result = pixels(view.image());
    // y-up rows 4..13 are the bitmap's rows 16..25.
    EXPECT_EQ(result, source.copy(5, 16, 20, 10));
    EXPECT_EQ(view.imageLayer().frame(), Rect(5, 4, 20, 10));
    EXPECT_EQ(view.maxCropWidthHeight(), 22); // follows the new size
    EXPECT_FALSE(view.haveChanges());
}

TEST_F(ApplyCropFixture, TheCropRectangleRoundsInImagePixels) {
    QImage source(500, 300, QImage::Format_ARGB32_Premultiplied);
    source.fill(QColor(10, 20, 30));
    place(source, 0.5);
    view.setCropFrame(Rect(0.6, 0.2, 200.4, 100.9));
    ASSERT_TRUE(view.applyCrop());
    EXPECT_EQ(view.image()->width(), 400);
    EXPECT_EQ(view.image()->height(), 201);
    EXPECT_EQ(view.imageLayer().frame(), Rect(0.5, 0, 200, 100.5));
}

TEST_F(ApplyCropFixture, FlipsAreExactAndTwoMakeAHalfTurn) {
    const QImage source = pattern(40, 30);
    place(source);
    view.setCropFrame(Rect(-5, -5, 50, 40));
    view.flipHorizontalAnimated(false);
    ASSERT_TRUE(view.applyCrop());
    EXPECT_EQ(pixels(view.image()), source.mirrored(true, false));
    EXPECT_FALSE(view.isFlippedHorizontal());
    EXPECT_TRUE(view.imageLayer().transform().isIdentity());

    place(source);
    view.setCropFrame(Rect(-5, -5, 50, 40));
    view.flipVerticalAnimated(false);
    view.flipHorizontalAnimated(false);
    ASSERT_TRUE(view.applyCrop());
    EXPECT_EQ(pixels(view.image()), pixels(view.rotatedImage(ImageAdditional::fromQImage(source), 180)));
}

TEST_F(ApplyCropFixture, AFlipThenStraightenMatchesWhatTheLayerShows) {
    // A smooth gradient, so the one bilinear resample stays close to the source.
    QImage source(60, 60, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x)
            source.setPixel(x, y, qRgba(x * 4, y * 4, 100, 255));
    place(source);
    view.setCropFrame(Rect(15, 15, 30, 30));
    view.flipVerticalAnimated(false);
    view.rotateImageForCropToAngle(30);
    const auto shown = view.imageLayer().transform(); // about the layer's centre
    ASSERT_TRUE(view.applyCrop());
    const QImage result = pixels(view.image());
    ASSERT_EQ(result.size(), QSize(30, 30));
    const auto back = shown.inverted();
    for (Point at : {Point{3, 4}, Point{15, 15}, Point{26, 20}}) {
        // The result pixel's centre in view points (y-up), then into the untransformed picture.
        const Point view_point{15 + at.x + 0.5, 15 + at.y + 0.5};
        const Point p = back.apply(Point{view_point.x - 30, view_point.y - 30});
        const int sx = int(std::floor(p.x + 30)), sy = int(std::floor(p.y + 30));
        const QRgb expected = source.pixel(sx, 59 - sy);
        const QRgb got = result.pixel(int(at.x), 29 - int(at.y));
        EXPECT_NEAR(qRed(got), qRed(expected), 6) << at.x << "," << at.y;
        EXPECT_NEAR(qGreen(got), qGreen(expected), 6) << at.x << "," << at.y;
        EXPECT_EQ(qAlpha(got), 255);
    }
}
