#include "imageview/CIMicroPaintView.h"
#include "imageview/CIMicroPaintViewOwner.h"
#include "platform/coreimage/Context.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UndoManager.h"
#include "support/UiApplication.h"

#include <QMouseEvent>
#include <gtest/gtest.h>
#include <vector>

namespace {

using graphics::Point;
using graphics::Rect;

const graphics::PixelFormat kRGBA8{
    8, {graphics::Channel::R, graphics::Channel::G, graphics::Channel::B, graphics::Channel::A}, true};

graphics::ImagePtr solid(int w, int h, uint8_t grey) {
    std::vector<uint8_t> px(size_t(w) * h * 4, grey);
    for (size_t i = 3; i < px.size(); i += 4)
        px[i] = 255;
    return graphics::Image::copy(px.data(), w, h, size_t(w) * 4, kRGBA8);
}

// The green level (0-255) of a lazy image at a working pixel (x, y), y-up.
int level(const coreimage::ImagePtr& image, double x, double y) {
    uint8_t p[4] = {};
    EXPECT_TRUE(coreimage::Context().render(image, p, 4, Rect(std::floor(x), std::floor(y), 1, 1), kRGBA8));
    return p[1];
}

std::vector<uint8_t> bytes(const coreimage::ImagePtr& image) {
    const graphics::ImagePtr bitmap = coreimage::render(image, 8);
    const uint8_t* p = bitmap->data();
    return std::vector<uint8_t>(p, p + bitmap->rowBytes() * size_t(bitmap->height()));
}

// Forwards undo to the canvas as the window controller does.
struct ForwardingOwner : CIMicroPaintViewOwner {
    CIMicroPaintView* canvas = nullptr;
    coreimage::ImagePtr laterMaskApplying() const override { return nullptr; }
    void setLaterMaskApplying(coreimage::ImagePtr) override {}
    void applyMask(coreimage::ImagePtr mask) override { canvas->applyMask(mask); }
    void setToolbarBrushSize(double) override {}
};

class Painting : public ::testing::Test {
  protected:
    QApplication& app = uiApplication();
    void SetUp() override {
        // Photo grey 64, effect white, one view point per working pixel.
        canvas = std::make_unique<CIMicroPaintView>(Rect(0, 0, 200, 160), solid(200, 160, 255),
                                                    solid(200, 160, 64));
        owner.canvas = canvas.get();
        canvas->setOwner(&owner);
        canvas->setUndoManager(&undo);
        canvas->updateMatrices();
        canvas->setBrushSize(40);
        canvas->setBrushSoftness(0); // hard: inner = outer = 20
        foundation::RunLoop::runOnce();
    }
    void stroke(std::vector<Point> points) {
        canvas->mouseDown(points.front(), 1);
        for (size_t i = 1; i < points.size(); ++i)
            canvas->mouseDragged(points[i], 1);
        canvas->mouseUp();
        foundation::RunLoop::runOnce();
    }
    int at(double x, double y) const { return level(canvas->mask(), x, y); }

    ForwardingOwner owner;
    foundation::UndoManager undo;
    std::unique_ptr<CIMicroPaintView> canvas;
};

} // namespace

TEST_F(Painting, AClickPaintsOneDabAtTheClickPoint) {
    stroke({{100, 80}});
    EXPECT_EQ(at(100, 80), 255);
    EXPECT_EQ(at(100 + 17, 80), 255);
    EXPECT_EQ(at(100, 80 - 17), 255);
    EXPECT_EQ(at(100 + 23, 80), 0);
    EXPECT_EQ(at(100 - 23, 80), 0);
    EXPECT_EQ(at(100, 80 + 23), 0);
    EXPECT_FALSE(canvas->lastDrawedPoint().has_value());
    EXPECT_FALSE(canvas->isMaskCleared());
}

TEST_F(Painting, AFastDragLeavesNoGap) {
    stroke({{30, 80}, {170, 80}});
    for (int x = 30; x <= 170; x += 3)
        EXPECT_EQ(at(x, 80), 255) << x;
    EXPECT_EQ(at(100, 80 + 25), 0);
}

TEST_F(Painting, AMovementShorterThanAStepWaitsForTheNext) {
    canvas->setBrushSoftness(100); // outer radius 40: steps of 8
    canvas->mouseDown({100, 80}, 1);
    canvas->mouseDragged({103, 80}, 1);
    ASSERT_TRUE(canvas->lastDrawedPoint().has_value());
    EXPECT_EQ(*canvas->lastDrawedPoint(), (Point{100, 80}));
    canvas->mouseDragged({112, 80}, 1);
    EXPECT_EQ(*canvas->lastDrawedPoint(), (Point{112, 80}));
    canvas->mouseUp();
}

TEST_F(Painting, OpacityAppliesToTheWholeStrokeNotEachDab) {
    canvas->setBrushOpacity(0.5);
    stroke({{60, 80}, {140, 80}});
    // 1 - 0.5^2 where one dab lies and where many overlap.
    EXPECT_NEAR(at(60 - 15, 80), 191, 2);
    EXPECT_NEAR(at(100, 80), 191, 2);
    EXPECT_EQ(at(100, 80 + 25), 0);
}

TEST_F(Painting, ErasingStampsEachDabAtTheSquaredOpacity) {
    canvas->applyMask(
        coreimage::Image::imageWithColor({1, 1, 1, 1})->imageByCroppingToRect(Rect(0, 0, 200, 160)));
    foundation::RunLoop::runOnce();
    canvas->setEraseMask(true);
    canvas->setBrushOpacity(0.5);
    stroke({{40, 40}});              // one dab: 1 - 0.25 of the mask kept
    stroke({{60, 110}, {140, 110}}); // overlapping dabs, 4 apart
    const int single = at(40, 40), overlapped = at(100, 110);
    EXPECT_NEAR(single, 191, 2);
    EXPECT_LT(overlapped, single - 10);
    EXPECT_EQ(at(100, 80), 255);
}

TEST_F(Painting, ErasingAtFullOpacityGivesThePhotoBackExactly) {
    stroke({{100, 80}});
    canvas->setEraseMask(true);
    stroke({{100, 80}});
    EXPECT_EQ(at(100, 80), 0);
    EXPECT_EQ(level(canvas->image(), 100, 80), 64);
    EXPECT_TRUE(canvas->isMaskCleared());
}

TEST_F(Painting, AModeSwitchMidStrokeWaitsForTheNextStroke) {
    canvas->mouseDown({40, 80}, 1);
    canvas->setEraseMask(true);
    canvas->mouseDragged({160, 80}, 1);
    canvas->mouseUp();
    EXPECT_EQ(at(100, 80), 255);
}

TEST_F(Painting, EachStrokeIsOneUndoStepRestoredByteForByte) {
    stroke({{50, 50}, {90, 50}});
    const std::vector<uint8_t> afterFirst = bytes(canvas->mask());
    stroke({{120, 110}, {160, 110}});
    const std::vector<uint8_t> afterSecond = bytes(canvas->mask());
    ASSERT_NE(afterFirst, afterSecond);
    undo.undo();
    foundation::RunLoop::runOnce();
    EXPECT_EQ(bytes(canvas->mask()), afterFirst);
    undo.redo();
    foundation::RunLoop::runOnce();
    EXPECT_EQ(bytes(canvas->mask()), afterSecond);
    undo.undo();
    undo.undo();
    foundation::RunLoop::runOnce();
    EXPECT_EQ(at(70, 50), 0);
}

TEST_F(Painting, ClearingAClearMaskIsStillAnUndoStepAnnouncedOnce) {
    int posts = 0;
    foundation::NotificationCenter::defaultCenter().addObserver(
        this, UndoManagerStackChanged, nullptr, [&](const foundation::Notification&) { ++posts; });
    canvas->clearMask();
    foundation::RunLoop::runOnce();
    foundation::NotificationCenter::defaultCenter().removeObserver(this);
    EXPECT_EQ(posts, 1);
    EXPECT_TRUE(undo.canUndo());
}

TEST_F(Painting, InvertingIsUndoableAndAnInvertedClearMaskIsHandedOut) {
    ASSERT_TRUE(canvas->isMaskCleared());
    canvas->invertMask();
    foundation::RunLoop::runOnce();
    EXPECT_EQ(at(10, 10), 255);
    EXPECT_FALSE(canvas->isMaskCleared());
    EXPECT_NE(canvas->originalSizeMask(), nullptr);
    undo.undo();
    foundation::RunLoop::runOnce();
    EXPECT_EQ(at(10, 10), 0);
}

TEST_F(Painting, RestoringWithoutAStartMaskClears) {
    stroke({{100, 80}});
    canvas->restoreStartMask();
    EXPECT_EQ(at(100, 80), 0);
    EXPECT_TRUE(canvas->isMaskCleared());
}

TEST_F(Painting, ThePreviewShowsOneDabWhateverTheLastStrokeLeft) {
    const graphics::ImagePtr before = canvas->previewImageWithSize(QSize(100, 100), 60, 0, 1);
    canvas->setEraseMask(true);
    canvas->setBrushOpacity(0.5);
    stroke({{100, 80}});
    const graphics::ImagePtr after = canvas->previewImageWithSize(QSize(100, 100), 60, 0, 1);
    ASSERT_NE(before, nullptr);
    ASSERT_NE(after, nullptr);
    const coreimage::ImagePtr shown = coreimage::Image::imageWithCGImage(after);
    EXPECT_EQ(level(shown, 50, 50), 255);
    EXPECT_EQ(level(shown, 50 + 25, 50), 255);
    EXPECT_EQ(level(shown, 50 + 35, 50), 0);
    EXPECT_EQ(level(shown, 2, 2), 0);
    EXPECT_EQ(bytes(coreimage::Image::imageWithCGImage(before)), bytes(shown));
}

TEST_F(Painting, PointerEventsPaintWhatTheWidgetShows) {
    const auto send = [&](QEvent::Type type, QPointF at, Qt::MouseButtons held) {
        QMouseEvent event(type, at, canvas->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(canvas.get(), &event);
    };
    // Qt rows: y = 160 - 80 is the middle row.
    send(QEvent::MouseButtonPress, QPointF(40, 80), Qt::LeftButton);
    send(QEvent::MouseMove, QPointF(160, 80), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, QPointF(160, 80), Qt::NoButton);
    EXPECT_FALSE(canvas->isDrawing());
    const QImage shown = canvas->grab().toImage();
    EXPECT_EQ(shown.pixelColor(100, 80), QColor(255, 255, 255));
    EXPECT_EQ(shown.pixelColor(100, 20), QColor(64, 64, 64));
    EXPECT_EQ(at(100, 160 - 80), 255);
    foundation::RunLoop::runOnce();
    EXPECT_TRUE(undo.canUndo());
}

TEST_F(Painting, DabsOffThePixelGridLeaveNoSeams) {
    canvas->setScale(1.32); // outer radius 30.3: dab squares start just past a pixel centre
    canvas->setBrushSoftness(100);
    stroke({{40, 100}, {200, 100}});
    // Along the stroke's middle every pixel is painted: no column was written transparent.
    for (int x = 40; x <= 150; ++x)
        EXPECT_GE(at(x, 100 / 1.32), 240) << x;
}
