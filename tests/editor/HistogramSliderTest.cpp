#include "editor/HistogramSlider.h"
#include "editor/HistogramView.h"
#include "support/UiApplication.h"

#include <QMouseEvent>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct RecordingDelegate : DSSUISliderDelegate {
    std::vector<std::string> messages;
    void valueDidChangedForButtonWithIndex(DSSUISlider*, uint64_t i) override {
        messages.push_back("released " + std::to_string(i));
    }
    void dragDidEndForButtonWithIndex(DSSUISlider*, uint64_t i) override {
        messages.push_back("drag end " + std::to_string(i));
    }
    void valueIsChangingForButtonAtIndex(DSSUISlider*, uint64_t i) override {
        messages.push_back("changing " + std::to_string(i));
    }
};

// A plain two-handle slider with handle 1 placed before handle 0, as the rest positions need.
std::unique_ptr<DSSUISlider> restingSlider(float pos0, float pos1) {
    uiApplication();
    auto slider = std::make_unique<DSSUISlider>(QRectF(0, 0, 314, 40), 2, QSizeF(12, 14), 0, 255, 15, 299);
    slider->setValue(pos1, 1, false);
    slider->setValue(pos0, 0, false);
    return slider;
}

void send(QWidget& widget, QEvent::Type type, QPointF yUpPoint) {
    const QPointF local(yUpPoint.x(), widget.height() - yUpPoint.y());
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, local, widget.mapToGlobal(local), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

} // namespace

TEST(DSSUISlider, ValuesArePositionsTimesSinglePrecisionPointEightFive) {
    auto slider = restingSlider(5, 294);
    EXPECT_EQ(slider->valueForButtonWithIndex(0), 4.25);
    EXPECT_EQ(slider->valueForButtonWithIndex(1), 249.90000915527344);
    EXPECT_EQ(slider->valueForButtonWithIndex(7), 0); // an index it does not hold
    slider->setValue(300, 2, false);
    DSSUISlider wide(QRectF(0, 0, 400, 40), 0, QSizeF(), 0, 255, 0, 400);
    EXPECT_EQ(wide.valueForButtonWithIndex(0), -0.85f); // rangeMin - 1, as made
}

TEST(DSSUISlider, HandleLimitsAgainstEachOther) {
    struct Case {
        uint64_t handle;
        double requested;
        float pos0, pos1;
        float expected;
    };
    const Case cases[] = {
        {0, 280, 5, 294, 254}, {1, 30, 5, 294, 45},   {2, 300, 5, 294, 284}, {2, 0, 5, 294, 35},
        {0, 260, 5, 290, 250}, {0, -20, 100, 294, 5}, {1, 400, 5, 294, 294}, {2, 0, 80, 120, 110},
    };
    for (const Case& c : cases) {
        auto slider = restingSlider(c.pos0, c.pos1);
        slider->setValue(c.requested, c.handle, false);
        EXPECT_FLOAT_EQ(slider->valueForButtonWithIndex(c.handle), c.expected * 0.85f)
            << "handle " << c.handle << " to " << c.requested;
    }
}

TEST(DSSUISlider, HandleViewFollowsItsPosition) {
    auto slider = restingSlider(5, 294);
    slider->setValue(120, 0, false);
    EXPECT_EQ(slider->frameOfView(slider->buttons()[0]).topLeft(), QPointF(120, 0));
    EXPECT_EQ(slider->buttons()[0]->geometry().bottom(), slider->height() - 1); // y-up 0 is the bottom
}

TEST(DSSUISlider, DragSendsChangingOnEveryMoveAndOneReleaseOnMouseUp) {
    auto slider = restingSlider(5, 294);
    RecordingDelegate delegate;
    slider->setDelegate(&delegate);
    send(*slider, QEvent::MouseButtonPress, QPointF(10, 5)); // on handle 0 (5..17)
    send(*slider, QEvent::MouseMove, QPointF(30, 5));
    send(*slider, QEvent::MouseMove, QPointF(60, 9));
    send(*slider, QEvent::MouseButtonRelease, QPointF(60, 9));
    EXPECT_EQ(delegate.messages,
              (std::vector<std::string>{"changing 0", "changing 0", "changing 0", "released 0"}));
    EXPECT_FLOAT_EQ(slider->valueForButtonWithIndex(0), 55 * 0.85f);
    EXPECT_EQ(slider->draggedButtonIndex(), DSSUISlider::kNoButton);
}

TEST(DSSUISlider, ClickWithoutMoveSendsNothingNowOrOnTheNextProgrammaticMove) {
    auto slider = restingSlider(5, 294);
    RecordingDelegate delegate;
    slider->setDelegate(&delegate);
    send(*slider, QEvent::MouseButtonPress, QPointF(10, 5));
    send(*slider, QEvent::MouseButtonRelease, QPointF(10, 5));
    slider->setValue(40, 0, false); // a reset, say
    EXPECT_EQ(delegate.messages, (std::vector<std::string>{"changing 0"}));
}

TEST(DSSUISlider, PressOutsideHandlesDragsNothingAndDragEndTellsOnce) {
    auto slider = restingSlider(5, 294);
    RecordingDelegate delegate;
    slider->setDelegate(&delegate);
    send(*slider, QEvent::MouseButtonPress, QPointF(150, 30));
    send(*slider, QEvent::MouseMove, QPointF(170, 30));
    EXPECT_TRUE(delegate.messages.empty());
    send(*slider, QEvent::MouseButtonPress, QPointF(295, 5)); // handle 1
    slider->drag_end();
    slider->drag_end();
    EXPECT_EQ(delegate.messages, (std::vector<std::string>{"drag end 1"}));
}

TEST(HistogramSlider, RestsAtBlackWhiteAndMidwayGamma) {
    uiApplication();
    HistogramSlider slider(QRectF(0, 0, 314, 60));
    EXPECT_EQ(slider.valueForButtonWithIndex(0), 4.25);
    EXPECT_EQ(slider.valueForButtonWithIndex(1), 249.90000915527344);
    EXPECT_FLOAT_EQ(slider.valueForButtonWithIndex(2), 149.5f * 0.85f);
    EXPECT_EQ(slider.xPosMin(), 157 - 139);
    EXPECT_EQ(slider.xPosMax(), 157 + 139);
    const QRectF histogramFrame = slider.frameOfView(slider.histogram_view());
    EXPECT_EQ(histogramFrame, QRectF(25, 4, 290, 52));
}

TEST(HistogramSlider, GammaDragSendsNoChangingButOneRelease) {
    uiApplication();
    HistogramSlider slider(QRectF(0, 0, 314, 60));
    RecordingDelegate delegate;
    slider.setDelegate(&delegate);
    const QRectF gamma = slider.frameOfView(slider.thirdSlider());
    send(slider, QEvent::MouseButtonPress, gamma.center());
    send(slider, QEvent::MouseMove, gamma.center() + QPointF(30, 0));
    send(slider, QEvent::MouseButtonRelease, gamma.center() + QPointF(30, 0));
    EXPECT_EQ(delegate.messages, (std::vector<std::string>{"released 2"}));
    EXPECT_FLOAT_EQ(slider.valueForButtonWithIndex(2), float(gamma.x() + 30) * 0.85f);
}

TEST(HistogramSlider, CloseHandlesHandTheOverlayAFortyPointGap) {
    uiApplication();
    HistogramSlider slider(QRectF(0, 0, 314, 60));
    slider.setValue(120, 1, false);
    slider.setValue(100, 0, false); // 20 left of the white point
    EXPECT_FLOAT_EQ(slider.histogram_view()->overlayPositionLeft(), 80);
    EXPECT_FLOAT_EQ(slider.histogram_view()->overlayPositionRight(), 120);
    EXPECT_FLOAT_EQ(slider.valueForButtonWithIndex(0), 80 * 0.85f);
}

TEST(HistogramSlider, FrameImageIsAWhiteRoundedRectInsetByThree) {
    uiApplication();
    const QImage frame = HistogramSlider::get_background_image_of_size(QSizeF(298, 60));
    ASSERT_EQ(frame.size(), QSize(298, 60));
    const QColor top = frame.pixelColor(149, 3);
    EXPECT_GT(top.alpha(), 200);
    EXPECT_GT(top.red(), 200);
    EXPECT_EQ(frame.pixelColor(1, 1).alpha(), 0);
    EXPECT_EQ(frame.pixelColor(149, 30).alpha(), 0); // the inside stays clear for the histogram
    const QImage doubled = HistogramSlider::get_background_image_of_size(QSizeF(298, 60), 2);
    EXPECT_EQ(doubled.size(), QSize(596, 120));
}

TEST(HistogramView, PeakLeavesOutBinZero) {
    uiApplication();
    HistogramView view;
    HistogramView::Table red(256, 0), flat(256, 0);
    red[0] = 1000000;
    red[128] = 100;
    view.setHistogram(flat);
    view.setRedHistogram(red);
    view.setGreenHistogram(flat);
    view.setBlueHistogram(flat);
    EXPECT_EQ(view.peak(), 100u);
    view.setHistogram(HistogramView::Table(1, 0));
    EXPECT_EQ(view.peak(), 0u); // fewer than two bins
}

TEST(HistogramView, DrawsRedThenGreenThenBlueRisingFromTheBottom) {
    uiApplication();
    HistogramView view;
    view.resize(256, 100);
    HistogramView::Table red(256, 50), green(256, 0), blue(256, 0);
    for (int i = 0; i < 128; ++i)
        green[i] = 25;
    view.setHistogram(HistogramView::Table(256, 1));
    view.setRedHistogram(red);
    view.setGreenHistogram(green);
    view.setBlueHistogram(blue);
    const QImage image = view.grab().toImage();
    EXPECT_EQ(image.pixelColor(60, 80), QColor(0, 146, 123)); // green over red in the lower left
    EXPECT_EQ(image.pixelColor(60, 20), QColor(208, 45, 53));
    EXPECT_EQ(image.pixelColor(200, 20), QColor(208, 45, 53));
    EXPECT_EQ(image.pixelColor(200, 80), QColor(208, 45, 53));
}

TEST(HistogramView, OnlyBinZeroDrawsNothing) {
    uiApplication();
    HistogramView view;
    view.resize(64, 32);
    HistogramView::Table black(256, 0);
    black[0] = 5000;
    view.setHistogram(black);
    view.setRedHistogram(black);
    view.setGreenHistogram(black);
    view.setBlueHistogram(black);
    QImage canvas(64, 32, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    view.render(&canvas, QPoint(), QRegion(), QWidget::DrawChildren);
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            ASSERT_EQ(qAlpha(canvas.pixel(x, y)), 0) << x << "," << y;
}

TEST(HistogramView, OverlayPositionsAreClamped) {
    uiApplication();
    HistogramView view;
    view.setOverlayForLeftPosition(-10, 400);
    EXPECT_FLOAT_EQ(view.overlayPositionLeft(), 5);
    EXPECT_FLOAT_EQ(view.overlayPositionRight(), 294);
}

TEST(HistogramSlider, HandlesWearTheLevelsSkin) {
    uiApplication();
    const QImage skin = HistogramSlider::get_button_image_of_size(QSizeF(12, 14));
    ASSERT_FALSE(skin.isNull()); // drawn into the bundle by the build
    HistogramSlider slider(QRectF(0, 0, 314, 60));
    EXPECT_EQ(slider.button_image(), skin);
}
