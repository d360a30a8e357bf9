#include "imageview/CIMicroPaintView.h"
#include "imageview/CIMicroPaintViewOwner.h"
#include "support/UiApplication.h"

#include <QMouseEvent>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace {

using graphics::Rect;

graphics::ImagePtr grey(int w, int h) {
    std::vector<uint8_t> px(size_t(w) * h * 4, 255);
    return graphics::Image::copy(
        px.data(), w, h, size_t(w) * 4,
        {8, {graphics::Channel::R, graphics::Channel::G, graphics::Channel::B, graphics::Channel::A}, true});
}

// Stands in for the brush toolbar: sizes within its slider's range come back to the canvas.
struct ToolbarOwner : CIMicroPaintViewOwner {
    CIMicroPaintView* canvas = nullptr;
    std::vector<double> asked;
    coreimage::ImagePtr laterMaskApplying() const override { return nullptr; }
    void setLaterMaskApplying(coreimage::ImagePtr) override {}
    void applyMask(coreimage::ImagePtr) override {}
    void setToolbarBrushSize(double size) override {
        asked.push_back(size);
        if (size >= 10 && size <= 200) canvas->setBrushSize(size);
    }
};

class CanvasZoom : public ::testing::Test {
  protected:
    QApplication& app = uiApplication();
    QWidget window;
    ToolbarOwner owner;
    std::unique_ptr<CIMicroPaintView> canvas;

    void make(int w, int h) {
        window.resize(1600, 1000);
        canvas = std::make_unique<CIMicroPaintView>(Rect(0, 0, 100, 100), grey(w, h), grey(w, h), &window);
        owner.canvas = canvas.get();
        canvas->setOwner(&owner);
        canvas->canvasGeometry().horizontalScroller = {1271, 18};
        canvas->canvasGeometry().verticalScroller = {18, 931};
    }
};

} // namespace

TEST_F(CanvasZoom, FittingNeverEnlargesAndCentresInTheContentArea) {
    make(1000, 800);
    canvas->zoomToFitRect(Rect(0, 0, 0, 0));
    EXPECT_EQ(canvas->scale(), 1);
    // Content area (15, 15, 1261, 921).
    EXPECT_EQ(canvas->realFrame(), Rect(146, 76, 1000, 800));
    EXPECT_EQ(canvas->geometry(), QRect(146, 1000 - 76 - 800, 1000, 800));
    EXPECT_FALSE(canvas->frameState().horizontal.shown);
}

TEST_F(CanvasZoom, ZoomingInKeepsTheCentreAndShowsTheScrollers) {
    make(1000, 800);
    canvas->zoomToFitRect(Rect(0, 0, 0, 0));
    const Rect before = canvas->realFrame();
    canvas->zoomIn();
    canvas->zoomIn();
    EXPECT_DOUBLE_EQ(canvas->scale(), 1.15 * 1.15);
    const Rect after = canvas->realFrame();
    EXPECT_EQ(after.width(), std::round(1000 * canvas->scale()));
    EXPECT_NEAR(after.midX(), before.midX(), 1);
    EXPECT_TRUE(canvas->frameState().horizontal.shown);
    EXPECT_LE(canvas->frame().maxX(), 1600 - 309 - 15);
}

TEST_F(CanvasZoom, ZoomingOutStopsAt300Points) {
    make(400, 400);
    canvas->zoomToFitRect(Rect(0, 0, 0, 0));
    for (int i = 0; i < 5; ++i)
        canvas->zoomOut();
    EXPECT_DOUBLE_EQ(canvas->scale(), 1 / 1.15 / 1.15);
    EXPECT_GT(canvas->realFrame().width(), 300);
}

TEST_F(CanvasZoom, ZoomingInRaisesATinyBrushAndZoomingOutGivesItBack) {
    make(100, 80);
    canvas->zoomToFitRect(Rect(0, 0, 0, 0));
    canvas->setBrushSize(10);
    while (canvas->scale() < 10)
        canvas->zoomIn();
    EXPECT_DOUBLE_EQ(canvas->brushSize(), canvas->scale());
    EXPECT_EQ(canvas->storedBrushSize(), 10);
    while (canvas->scale() > 5)
        canvas->zoomOut();
    EXPECT_EQ(canvas->brushSize(), 10);
    EXPECT_EQ(canvas->storedBrushSize(), 0);
}

TEST_F(CanvasZoom, PastTheLargestBrushZoomingInDoesNothing) {
    make(100, 80);
    canvas->zoomToFitRect(Rect(0, 0, 0, 0));
    canvas->setBrushSize(10);
    for (int i = 0; i < 60; ++i)
        canvas->zoomIn();
    EXPECT_LE(canvas->scale(), 200);
    EXPECT_GT(canvas->scale() * 1.15, 200);
    const double scale = canvas->scale();
    canvas->zoomIn();
    EXPECT_EQ(canvas->scale(), scale);
}

TEST_F(CanvasZoom, ActualSizeShowsOnePhotoPixelPerPoint) {
    make(2000, 1001); // works at 1998 x 1000
    canvas->zoomToFitRect(Rect(0, 0, 0, 0));
    canvas->zoomToActualSize();
    EXPECT_DOUBLE_EQ(canvas->scale(), 2000.0 / 1998);
    EXPECT_EQ(canvas->realFrame().width(), 2000);
}

TEST_F(CanvasZoom, TheHandDragsTheImageWithinItsLimitsAndADoubleClickFits) {
    make(3000, 400);
    canvas->zoomToFitRect(Rect(0, 0, 0, 0));
    canvas->zoomToActualSize();
    ASSERT_EQ(canvas->scale(), 1);
    ASSERT_TRUE(canvas->frameState().horizontal.shown);
    canvas->setMoveImage(true);
    const Rect start = canvas->realFrame();
    const auto send = [&](QEvent::Type type, QPointF at, Qt::MouseButtons held) {
        QMouseEvent event(type, at, canvas->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(canvas.get(), &event);
    };
    send(QEvent::MouseButtonPress, QPointF(100, 50), Qt::LeftButton);
    EXPECT_EQ(canvas->cursor().shape(), Qt::ClosedHandCursor);
    send(QEvent::MouseMove, QPointF(300, 40), Qt::LeftButton);
    EXPECT_EQ(canvas->realFrame().minX(), std::min(10.0, start.minX() + 200));
    EXPECT_EQ(canvas->realFrame().minY(), start.minY()); // no vertical scroller: up and down stay
    send(QEvent::MouseMove, QPointF(3000, 40), Qt::LeftButton);
    EXPECT_EQ(canvas->realFrame().minX(), 10);
    send(QEvent::MouseButtonRelease, QPointF(3000, 40), Qt::NoButton);
    EXPECT_EQ(canvas->cursor().shape(), Qt::OpenHandCursor);
    EXPECT_TRUE(canvas->mask() == nullptr || canvas->isMaskCleared()); // panning painted nothing
    send(QEvent::MouseButtonDblClick, QPointF(50, 50), Qt::LeftButton);
    EXPECT_LT(canvas->scale(), 1);
}
