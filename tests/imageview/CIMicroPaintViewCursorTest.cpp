#include "imageview/CIMicroPaintView.h"
#include "support/UiApplication.h"

#include <QMouseEvent>
#include <gtest/gtest.h>
#include <vector>

namespace {

using graphics::Rect;

graphics::ImagePtr solid(int w, int h, uint8_t r, uint8_t g, uint8_t b) {
    std::vector<uint8_t> px(size_t(w) * h * 4);
    for (size_t i = 0; i < px.size(); i += 4) {
        px[i] = r;
        px[i + 1] = g;
        px[i + 2] = b;
        px[i + 3] = 255;
    }
    return graphics::Image::copy(
        px.data(), w, h, size_t(w) * 4,
        {8, {graphics::Channel::R, graphics::Channel::G, graphics::Channel::B, graphics::Channel::A}, true});
}

class CanvasCursor : public ::testing::Test {
  protected:
    QApplication& app = uiApplication();
};

} // namespace

TEST_F(CanvasCursor, TheOutlineShowsAPlusWhenPaintingAndAMinusWhenErasing) {
    const QImage paint = CIMicroPaintView::brushCursorImage(40, 100, false, false);
    const QImage erase = CIMicroPaintView::brushCursorImage(40, 100, true, false);
    ASSERT_EQ(paint.size(), QSize(40, 40));
    // The black bar of the plus runs up through the centre (20, 20), y-up; the minus has none.
    const QColor up = paint.pixelColor(20, 17), flat = erase.pixelColor(20, 17);
    EXPECT_LT(up.value(), 80); // black at 0.7 over white at 0.7
    EXPECT_GT(up.alpha(), 150);
    EXPECT_LT(flat.alpha(), 60);
    // Both cross the centre row.
    EXPECT_LT(erase.pixelColor(19, 19).value(), 80);
    EXPECT_GT(erase.pixelColor(19, 19).alpha(), 150);
    // Outer rings and the empty corner.
    EXPECT_GT(paint.pixelColor(1, 20).alpha(), 100);
    EXPECT_EQ(paint.pixelColor(0, 0).alpha(), 0);
}

TEST_F(CanvasCursor, SmallOutlinesHaveNoMarkAndOpaqueOnesAtLeastEightPoints) {
    const QImage small = CIMicroPaintView::brushCursorImage(20, 0, false, false);
    EXPECT_LT(small.pixelColor(10, 8).alpha(), 60);
    EXPECT_EQ(CIMicroPaintView::brushCursorImage(3, 100, false, true).size(), QSize(8, 8));
    EXPECT_EQ(CIMicroPaintView::brushCursorImage(3, 100, false, false).size(), QSize(3, 3));
    EXPECT_TRUE(CIMicroPaintView::brushCursorImage(0.2, 100, false, false).isNull());
}

TEST_F(CanvasCursor, TheSoftnessRingSitsWhereTheSoftEdgeBegins) {
    // Softness 100 on 40 points: the yellow ring's diameter is 20 - 2.
    const QImage soft = CIMicroPaintView::brushCursorImage(40, 100, true, true);
    const QColor ring = soft.pixelColor(29, 19);
    EXPECT_GT(ring.red(), 150);
    EXPECT_GT(ring.green(), 150);
    EXPECT_LT(ring.blue(), 100);
    const QColor inside = CIMicroPaintView::brushCursorImage(40, 0, true, true).pixelColor(29, 19);
    EXPECT_GT(inside.blue(), 100); // only the light fill: no yellow there without softness
}

TEST_F(CanvasCursor, ALargeBrushIsPaintedAsARingAtItsTrueSizeAtAnyZoom) {
    for (double zoom : {1.0, 2.5}) {
        CIMicroPaintView canvas(Rect(0, 0, 400, 300), solid(400, 300, 200, 40, 40),
                                solid(400, 300, 200, 40, 40));
        canvas.updateMatrices();
        canvas.setScale(zoom);
        canvas.setBrushSize(200);
        EXPECT_TRUE(canvas.drawsBrushRing());
        EXPECT_EQ(canvas.cursor().shape(), Qt::BlankCursor);
        QMouseEvent move(QEvent::MouseMove, QPointF(200, 150), QPointF(200, 150), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(&canvas, &move);
        const QImage shown = canvas.grab().toImage();
        // The black ring at radius 98 left of the pointer, the photo beyond the outline.
        EXPECT_LT(shown.pixelColor(200 - 98, 150).value(), 120) << zoom;
        EXPECT_EQ(shown.pixelColor(200 - 105, 150), QColor(200, 40, 40)) << zoom;
        EXPECT_EQ(shown.pixelColor(5, 5), QColor(200, 40, 40)) << zoom;
    }
}

TEST_F(CanvasCursor, ASmallBrushIsAPictureCursorAndTheHandToolAHand) {
    CIMicroPaintView canvas(Rect(0, 0, 100, 100), solid(100, 100, 0, 0, 0), solid(100, 100, 0, 0, 0));
    canvas.setBrushSize(30);
    EXPECT_FALSE(canvas.drawsBrushRing());
    EXPECT_EQ(canvas.cursor().shape(), Qt::BitmapCursor);
    canvas.setMoveImage(true);
    EXPECT_EQ(canvas.cursor().shape(), Qt::OpenHandCursor);
}
