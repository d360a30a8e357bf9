#include "controls/ImageAdditional.h"
#include "imageview/KXImageView.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/graphics/SinglePrecision.h"
#include "support/UiApplication.h"
#include "support/VirtualClock.h"

#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <vector>

using graphics::AffineTransform;
using graphics::kPiF32;
using graphics::kTwoPiF32;
using graphics::Point;
using graphics::Rect;
using graphics::Size;

namespace {

struct ButtonDelegate : KXImageViewDelegate {
    std::vector<bool> states;
    std::vector<std::pair<uint64_t, uint64_t>> fields;
    void showCropErrorWithMessage(const std::string&, const std::string&) override {}
    void setStateForCropButton(bool state) override { states.push_back(state); }
    void cropResolutionWidth(uint64_t w, uint64_t h, KXImageView*) override { fields.emplace_back(w, h); }
};

graphics::ImagePtr picture(int w, int h) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(40, 120, 200));
    return ImageAdditional::fromQImage(image);
}

struct CropFixture : ::testing::Test {
    QApplication& app = uiApplication();
    VirtualClock clock;
    KXImageView view;
    ButtonDelegate delegate;
    CropFixture() {
        view.resize(800, 600);
        view.setDelegate(&delegate);
    }
    void load(int w, int h, double scale) {
        view.setImage(picture(w, h));
        view.setScale(scale);
    }
    static void expectRect(const Rect& expected, const Rect& actual) {
        EXPECT_NEAR(expected.minX(), actual.minX(), 1e-6);
        EXPECT_NEAR(expected.minY(), actual.minY(), 1e-6);
        EXPECT_NEAR(expected.width(), actual.width(), 1e-6);
        EXPECT_NEAR(expected.height(), actual.height(), 1e-6);
    }
    bool lastState() const { return delegate.states.empty() ? false : delegate.states.back(); }
};

} // namespace

TEST_F(CropFixture, MinimumCropSideFollowsTheShorterSideAndTheScale) {
    struct Case {
        int w, h;
        double scale, expected;
    } cases[] = {{4000, 3000, 0.25, 360},
                 {4000, 3000, 1.0, 90},
                 {50, 40, 1.0, 40},
                 {20, 10, 1.0, 15},
                 {50, 40, 0.3, 134}};
    for (const auto& c : cases) {
        load(c.w, c.h, c.scale);
        EXPECT_EQ(view.minimumCropSide(), c.expected) << c.w << "x" << c.h << " at " << c.scale;
    }
}

TEST_F(CropFixture, SetCropFrameDerivesCornersAndHandles) {
    load(400, 300, 1);
    view.setCropFrame(Rect(10, 20, 100, 50));
    EXPECT_EQ(view.ltCornerPosition(), (Point{10, 20}));
    EXPECT_EQ(view.rtCornerPosition(), (Point{110, 20}));
    EXPECT_EQ(view.rbCornerPosition(), (Point{110, 70}));
    EXPECT_EQ(view.lbCornerPosition(), (Point{10, 70}));
    EXPECT_EQ(view.rbCornerRect(), Rect(90, 50, 40, 40));
    EXPECT_EQ(view.previousBoundsRect(), Rect(0, 0, 800, 600));
    EXPECT_FALSE(delegate.states.empty());
}

TEST_F(CropFixture, SetCropSizeKeepsTheCentreAndCountsPixels) {
    load(4000, 3000, 0.5);
    view.setCropFrame(Rect(100, 100, 200, 100));
    view.setCropSize(Size{300, 100});
    expectRect(Rect(125, 125, 150, 50), view.cropFrame());
    EXPECT_EQ(view.cropWidthInPixels(), 300u);
    EXPECT_EQ(view.cropHeightInPixels(), 100u);
}

TEST_F(CropFixture, ProportionsSetTextRatioAndResizeAboutTheCentre) {
    struct Case {
        int w, h, preset;
        Rect start, expected;
        const char* text;
        Point ratio;
    } cases[] = {
        {4000, 3000, 3, Rect(100, 100, 600, 360), Rect(130, 100, 540, 360), "3:2", {3, 2}},
        // The image's pixel height caps the frame's height.
        {400, 300, 1, Rect(0, 0, 600, 500), Rect(150, 100, 300, 300), "1:1", {1, 1}},
        // Portrait: the width stays, capped by the pixel width.
        {300, 400, 2, Rect(0, 0, 200, 100), Rect(0, -100, 200, 300), "2:3", {2, 3}},
        {400, 300, 8, Rect(0, 0, 100, 100), Rect(-150, -100, 400, 300), "Image Size", {400, 300}},
    };
    for (const auto& c : cases) {
        load(c.w, c.h, 1);
        view.setProportionsConstrain(0);
        view.setCropFrame(c.start);
        view.setProportionsConstrain(c.preset);
        expectRect(c.expected, view.cropFrame());
        EXPECT_EQ(view.proportionsConstrainText(), c.text);
        EXPECT_EQ(view.proportionsConstrainAspect(), c.ratio);
    }
    // Free keeps the frame and the last ratio.
    view.setCropFrame(Rect(5, 6, 70, 80));
    view.setProportionsConstrain(0);
    EXPECT_EQ(view.cropFrame(), Rect(5, 6, 70, 80));
    EXPECT_EQ(view.proportionsConstrainText(), "?:?");
    EXPECT_EQ(view.proportionsConstrainAspect(), (Point{400, 300}));
}

TEST_F(CropFixture, CornerDragsKeepTheOppositeCorner) {
    load(4000, 3000, 1);
    struct Case {
        int corner, preset;
        Point to;
        Rect expected;
    } cases[] = {
        {0, 0, {50, 20}, Rect(50, 20, 250, 180)},     {0, 1, {50, 20}, Rect(50, -50, 250, 250)},
        {1, 0, {400, 50}, Rect(100, 50, 300, 150)},   {2, 0, {350, 260}, Rect(100, 100, 250, 160)},
        {2, 7, {420, 100}, Rect(100, 100, 320, 180)}, {3, 0, {20, 250}, Rect(20, 100, 280, 150)},
        {3, 2, {20, 250}, Rect(200, 100, 100, 150)},
    };
    for (const auto& c : cases) {
        view.setProportionsConstrain(0);
        view.setProportionsConstrain(c.preset);
        view.setCropFrame(Rect(100, 100, 200, 100));
        switch (c.corner) {
        case 0:
            view.setLtCornerPosition(c.to);
            break;
        case 1:
            view.setRtCornerPosition(c.to);
            break;
        case 2:
            view.setRbCornerPosition(c.to);
            break;
        default:
            view.setLbCornerPosition(c.to);
            break;
        }
        expectRect(c.expected, view.cropFrame());
    }
}

TEST_F(CropFixture, LimitsAfterADragKeepTheFarEdges) {
    load(400, 300, 1); // minimum 90, diagonal 500
    struct Case {
        int64_t corner;
        Rect dragged, expected;
    } cases[] = {
        {0, Rect(250, 250, 50, 50), Rect(210, 210, 90, 90)},
        {1, Rect(250, 250, 50, 50), Rect(250, 210, 90, 90)},
        {2, Rect(250, 250, 50, 50), Rect(250, 250, 90, 90)},
        {3, Rect(250, 250, 50, 50), Rect(210, 250, 90, 90)},
        {2, Rect(0, 0, 600, 100), Rect(0, 0, 500, 100)},
        {0, Rect(0, 0, 100, 700), Rect(0, 200, 100, 500)},
        {3, Rect(0, 0, 600, 600), Rect(100, 0, 500, 500)},
    };
    for (const auto& c : cases) {
        view.setCropFrame(c.dragged);
        view.limitCropFrameAfterDrag(c.corner);
        expectRect(c.expected, view.cropFrame());
    }
    view.setProportionsConstrain(7); // 16:9 over the maximum
    view.setCropFrame(Rect(0, 0, 800, 100));
    view.limitCropFrameAfterDrag(2);
    expectRect(Rect(0, 0, 500, 500.0 * 9 / 16), view.cropFrame());
}

TEST_F(CropFixture, LimitsInPixelsRunBeforeTheOverlayRedrawsAboutTheCentre) {
    load(400, 300, 0.5); // minimum 180 pixels
    view.setCropToolOn(true);
    const Point c{view.cropFrame().midX(), view.cropFrame().midY()};
    view.setCropSize(Size{20, 400});
    expectRect(Rect(c.x - 45, c.y - 100, 90, 200), view.cropFrame());
    EXPECT_EQ(view.cropWidthInPixels(), 180u);
    view.setCropSize(Size{900, 300}); // wider than the 500-pixel diagonal
    EXPECT_EQ(view.cropWidthInPixels(), 500u);
    EXPECT_EQ(view.cropHeightInPixels(), 300u);
    expectRect(Rect(c.x - 125, c.y - 75, 250, 150), view.cropFrame());
}

TEST_F(CropFixture, ToolOnTakesTheMiddleThreeFifthsAndOffResetsTheStraighten) {
    load(400, 300, 1);
    const Rect r = view.extraVisibleRect();
    view.setCropToolOn(true);
    EXPECT_TRUE(view.isCropOn());
    EXPECT_FALSE(view.cropLayer().isHidden());
    expectRect(
        Rect(r.minX() + r.width() / 5, r.minY() + r.height() / 5, r.width() * 3 / 5, r.height() * 3 / 5),
        view.cropFrame());
    view.rotateImageForCropToAngle(10);
    view.setCropToolOn(false);
    EXPECT_TRUE(view.cropLayer().isHidden());
    EXPECT_EQ(view.rotationAngleRadians(), 0);
    EXPECT_TRUE(view.imageLayer().transform().isIdentity());
}

TEST_F(CropFixture, StraightenStoresTheAngleInSinglePrecisionRadians) {
    load(400, 300, 1);
    view.rotateImageForCropToAngle(10);
    EXPECT_DOUBLE_EQ(view.rotationAngleRadians(), 10.0 / 180 * -kPiF32);
    EXPECT_NEAR(view.rotationAngleRadians(), -0.17453293, 1e-8);
    EXPECT_NEAR(view.rotationAngle(), 10, 1e-12);
    EXPECT_TRUE(view.haveChanges());
    EXPECT_EQ(view.imageLayer().transform(), AffineTransform::makeRotation(view.rotationAngleRadians()));

    struct Case {
        double in, out;
    } cases[] = {{7, 7 - kTwoPiF32}, {-7, -7 + kTwoPiF32}, {1, 1}, {-6, -6}};
    for (const auto& c : cases) {
        view.rotate(c.in);
        EXPECT_DOUBLE_EQ(view.rotationAngleRadians(), c.out) << c.in;
    }
}

TEST_F(CropFixture, FlipsComposeAfterTheRotationOnPoints) {
    load(400, 300, 1);
    view.rotateImageForCropToAngle(30);
    view.flipVerticalAnimated(false);
    const double r = view.rotationAngleRadians();
    EXPECT_EQ(view.imageLayer().transform(), AffineTransform::makeRotation(r).scaled(1, -1));
    view.flipHorizontalAnimated(false);
    EXPECT_EQ(view.imageLayer().transform(), AffineTransform::makeRotation(r).scaled(1, -1).scaled(-1, 1));
    // The point (1, 0) is mirrored first, then turned.
    const Point p = view.imageLayer().transform().apply(Point{1, 0});
    EXPECT_NEAR(p.x, -std::cos(r), 1e-12);
    EXPECT_NEAR(p.y, -std::sin(r), 1e-12);
    view.rotateImageForCropToAngle(0);
    view.flipHorizontalAnimated(false);
    view.flipVerticalAnimated(false);
    EXPECT_FALSE(view.isFlippedHorizontal());
    EXPECT_FALSE(view.isFlippedVertical());
    EXPECT_TRUE(view.imageLayer().transform().isIdentity());
}

TEST_F(CropFixture, CropButtonFollowsChangesAndCoverage) {
    load(400, 300, 1);
    const Rect F = view.imageLayer().frame();
    ASSERT_FALSE(F.isEmpty());

    view.setCropFrame(F.inset(-10, -10));
    EXPECT_FALSE(lastState());

    view.flipHorizontalAnimated(false); // covers, but a flip is pending
    EXPECT_TRUE(view.haveChanges());
    EXPECT_TRUE(lastState());
    view.cancelChangesForRotationTab();
    EXPECT_FALSE(view.haveChanges());
    EXPECT_FALSE(view.isFlippedHorizontal());

    view.setCropFrame(F.inset(20, 20));
    EXPECT_TRUE(lastState());
    view.setCropFrame(Rect(F.maxX() + 5, F.maxY() + 5, 50, 50));
    EXPECT_FALSE(lastState());

    // A whole turn counts as unchanged and clears the pending change.
    view.rotateImageForCropToAngle(360);
    view.setCropFrame(F.inset(-10, -10));
    EXPECT_FALSE(lastState());
    EXPECT_FALSE(view.haveChanges());
    view.rotateImageForCropToAngle(10);
    view.validateCropButton();
    EXPECT_TRUE(lastState());
}

TEST_F(CropFixture, CropTooLargeIsReportedForTheVisiblePart) {
    load(400, 300, 1);
    const Rect F = view.imageLayer().frame();
    view.setCropFrame(F);
    EXPECT_FALSE(view.isCanCrop());
    view.setScale(std::sqrt(F.width() * F.height() / 17000000.0));
    EXPECT_TRUE(view.isCanCrop());
    view.setCropFrame(Rect(F.maxX() + 1, 0, 10, 10));
    EXPECT_FALSE(view.isCanCrop());
}

TEST_F(CropFixture, UpdateCropFieldsSendsThePixelSize) {
    load(400, 300, 0.5);
    view.setCropFrame(Rect(0, 0, 50.2, 20));
    view.updateCropFields();
    ASSERT_FALSE(delegate.fields.empty());
    EXPECT_EQ(delegate.fields.back(), (std::pair<uint64_t, uint64_t>{100, 40}));
}

TEST_F(CropFixture, OverlayDimsThePhotoOutsideTheFrameOnly) {
    view.setImage(picture(400, 300), false);
    const QImage before = view.grab().toImage();
    view.setCropToolOn(true);
    view.setCropSize(Size{100, 100});
    const QImage after = view.grab().toImage();
    const Rect C = view.cropFrame();
    const Rect F = view.imageLayer().frame();
    ASSERT_FALSE(C.contains(Point{C.midX() + 30, F.minY() + 2}));
    // Widget rows run downwards; the view's points upwards.
    const auto at = [&](const QImage& image, double x, double y) {
        return QColor(image.pixel(int(x), int(view.height() - 1 - y)));
    };
    const double insideX = C.minX() + C.width() / 6, insideY = C.minY() + C.height() / 6;
    EXPECT_EQ(at(after, insideX, insideY), at(before, insideX, insideY));
    const QColor photo = at(before, C.midX() + 30, F.minY() + 2),
                 dimmed = at(after, C.midX() + 30, F.minY() + 2);
    EXPECT_NEAR(dimmed.blue(), photo.blue() / 2, 3);
    const std::vector<std::string> order = [&] {
        std::vector<std::string> out;
        for (const auto& l : view.layer().sublayers())
            out.push_back(l->name());
        return out;
    }();
    ASSERT_FALSE(order.empty());
    EXPECT_EQ(order.back(), "crop");
}

TEST_F(CropFixture, TheCancelNotificationDropsPendingFlips) {
    load(400, 300, 1);
    view.flipVerticalAnimated(false);
    view.rotateImageForCropToAngle(5);
    foundation::NotificationCenter::defaultCenter().postNotificationName("CancelChangesForRotationTab");
    EXPECT_FALSE(view.isFlippedVertical());
    EXPECT_FALSE(view.haveChanges());
    EXPECT_DOUBLE_EQ(view.rotationAngleRadians(), 5.0 / 180 * -kPiF32); // left for the tool's switch-off
}
