#include "imageview/DrawingToolbarController.h"
#include "controls/KXButton.h"
#include "controls/KXJRVSlider.h"
#include "imageview/DrawingToolbarControllerDelegate.h"
#include "support/UiApplication.h"

#include <QKeyEvent>
#include <QLabel>
#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct Recorder : DrawingToolbarControllerDelegate {
    std::vector<std::string> calls;
    std::vector<double> sizes, softnesses, opacities;
    std::vector<bool> erases, moves, shows;
    int previews = 0;
    void applyButtonDidClick(DrawingToolbarController*) override { calls.push_back("apply"); }
    void cancelButtonDidClick(DrawingToolbarController*) override { calls.push_back("cancel"); }
    void invertMaskForDrawingToolbarController(DrawingToolbarController*) override {
        calls.push_back("invert");
    }
    void showMask(DrawingToolbarController*, bool show) override { shows.push_back(show); }
    void eraseMask(DrawingToolbarController*, bool erase) override { erases.push_back(erase); }
    void moveImage(DrawingToolbarController*, bool move) override { moves.push_back(move); }
    void clearMaskForDrawingToolbarController(DrawingToolbarController*) override {
        calls.push_back("clear");
    }
    void brushSizeDidChange(DrawingToolbarController*, double v) override { sizes.push_back(v); }
    void softnessDidChange(DrawingToolbarController*, double v) override { softnesses.push_back(v); }
    void opacityDidChange(DrawingToolbarController*, double v) override { opacities.push_back(v); }
    graphics::ImagePtr previewImageForDrawingToolbarController(DrawingToolbarController*, QSize size, double,
                                                               double, double) override {
        ++previews;
        std::vector<uint8_t> px(size_t(size.width()) * size.height() * 4, 255);
        return graphics::Image::copy(
            px.data(), size.width(), size.height(), size_t(size.width()) * 4,
            {8,
             {graphics::Channel::R, graphics::Channel::G, graphics::Channel::B, graphics::Channel::A},
             true});
    }
    void applyMask(DrawingToolbarController*, coreimage::ImagePtr) override { calls.push_back("recent"); }
    void clear() {
        calls.clear();
        sizes.clear();
        softnesses.clear();
        opacities.clear();
        erases.clear();
        moves.clear();
        shows.clear();
    }
};

class BrushToolbar : public ::testing::Test {
  protected:
    QApplication& app = uiApplication();
    DrawingToolbarController toolbar;
    Recorder delegate;
    void SetUp() override {
        toolbar.setDelegate(&delegate);
        delegate.clear();
    }
    void key(const QString& text, int code = 0, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QKeyEvent event(QEvent::KeyPress, code, modifiers, text);
        QApplication::sendEvent(&toolbar, &event);
    }
    int pushedModes() const {
        return toolbar.drawMaskButton()->state() + toolbar.eraseMaskButton()->state() +
               toolbar.movingImageButton()->state();
    }
};

} // namespace

TEST_F(BrushToolbar, StartsWithTheDefaultsSentAndPaintPushed) {
    DrawingToolbarController fresh;
    Recorder r;
    fresh.setDelegate(&r);
    EXPECT_EQ(r.sizes, std::vector<double>{60});
    EXPECT_EQ(r.softnesses, std::vector<double>{100});
    EXPECT_EQ(r.opacities, std::vector<double>{1});
    EXPECT_EQ(fresh.drawMaskButton()->state(), 1);
    EXPECT_FALSE(fresh.brushPreviewImageView()->pixmap().isNull());
}

TEST_F(BrushToolbar, EachPresetSetsTheSlidersAndSendsItsValues) {
    for (int i = 0; i < 12; ++i) {
        delegate.clear();
        toolbar.presetButtonClick(toolbar.presetButton(i));
        const DrawingToolbarController::Preset& p = DrawingToolbarController::presets()[size_t(i)];
        EXPECT_EQ(delegate.sizes, std::vector<double>{p.size}) << i;
        EXPECT_EQ(delegate.softnesses, std::vector<double>{p.softness}) << i;
        EXPECT_EQ(delegate.opacities, std::vector<double>{p.opacity}) << i;
        EXPECT_EQ(toolbar.brushSizeSlider()->doubleValue(), p.size);
        EXPECT_EQ(toolbar.softnessSlider()->doubleValue(), p.softness);
        EXPECT_DOUBLE_EQ(toolbar.opacitySlider()->doubleValue(), std::sqrt(p.opacity));
        for (int j = 0; j < 12; ++j)
            EXPECT_EQ(toolbar.presetButton(j)->state(), j == i ? 1 : 0);
    }
    delegate.clear();
    toolbar.selectPresetIndex(12);
    toolbar.selectPresetIndex(-1);
    EXPECT_TRUE(delegate.sizes.empty());
}

TEST_F(BrushToolbar, OneOpacitySliderPositionMeansOneOpacity) {
    toolbar.selectPresetIndex(8);
    EXPECT_EQ(delegate.opacities.back(), 0.5);
    EXPECT_NEAR(toolbar.opacitySlider()->doubleValue(), 0.7071, 1e-4);
    toolbar.opacitySliderValueChanged(); // the same position, reached by the slider
    EXPECT_NEAR(delegate.opacities.back(), 0.5, 1e-12);
    toolbar.opacitySlider()->setDoubleValue(0.5);
    toolbar.opacitySliderValueChanged();
    EXPECT_DOUBLE_EQ(delegate.opacities.back(), 0.25);
}

TEST_F(BrushToolbar, MovingASliderDeselectsThePreset) {
    toolbar.presetButtonClick(toolbar.presetButton(3));
    toolbar.softnessSliderValueChanged();
    for (int j = 0; j < 12; ++j)
        EXPECT_EQ(toolbar.presetButton(j)->state(), 0);
}

TEST_F(BrushToolbar, BrushSizeOutsideTheSliderRangeIsIgnored) {
    toolbar.setBrushSize(250);
    toolbar.setBrushSize(5);
    EXPECT_TRUE(delegate.sizes.empty());
    EXPECT_EQ(toolbar.brushSizeSlider()->doubleValue(), 60);
    toolbar.setBrushSize(10);
    EXPECT_EQ(delegate.sizes, std::vector<double>{10});
    EXPECT_EQ(toolbar.brushSizeSlider()->doubleValue(), 10);
}

TEST_F(BrushToolbar, BracketKeysStepTheSizeByAThirtiethOfItsRange) {
    key("]");
    EXPECT_NEAR(delegate.sizes.back(), 60 + 190.0 / 30, 1e-9);
    toolbar.setBrushSize(10);
    delegate.clear();
    key("[");
    EXPECT_EQ(delegate.sizes, std::vector<double>{10});
}

TEST_F(BrushToolbar, KeysSwitchModesShowTheMaskInvertAndClear) {
    key("x");
    EXPECT_EQ(toolbar.eraseMaskButton()->state(), 1);
    EXPECT_EQ(pushedModes(), 1);
    key("x");
    EXPECT_EQ(toolbar.drawMaskButton()->state(), 1);
    EXPECT_EQ(pushedModes(), 1);
    EXPECT_EQ(delegate.erases, (std::vector<bool>{true, false}));
    key("/");
    key("/");
    EXPECT_EQ(delegate.shows, (std::vector<bool>{true, false}));
    key("i", Qt::Key_I, Qt::ControlModifier);
    key("\b", Qt::Key_Backspace, Qt::ControlModifier);
    key("i", Qt::Key_I);
    EXPECT_EQ(delegate.calls, (std::vector<std::string>{"invert", "clear"}));
}

TEST_F(BrushToolbar, TheHandToolPushesOnlyItsButton) {
    toolbar.movingImageButtonClick();
    EXPECT_EQ(pushedModes(), 1);
    EXPECT_EQ(toolbar.movingImageButton()->state(), 1);
    EXPECT_EQ(delegate.moves, std::vector<bool>{true});
    toolbar.eraseMaskButtonClick();
    EXPECT_EQ(delegate.moves, (std::vector<bool>{true, false}));
    EXPECT_EQ(pushedModes(), 1);
}

TEST_F(BrushToolbar, ApplyAndCancelActOnceEach) {
    toolbar.applyButtonClick();
    toolbar.applyButtonClick();
    toolbar.cancelButtonDidClick();
    toolbar.cancelButtonDidClick();
    EXPECT_EQ(delegate.calls, (std::vector<std::string>{"apply", "cancel"}));
}
