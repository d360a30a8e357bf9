#include "editor/SuperFilterToolbarViewController.h"

#include "controls/KXButton.h"
#include "controls/KXSlider.h"
#include "editor/HistogramSlider.h"
#include "editor/HistogramView.h"
#include "editor/SuperFilterToolbarViewControllerDelegate.h"
#include "engine/PostProcessParameter.h"
#include "engine/effects/adjustments/PP_SuperFilter.h"
#include "support/UiApplication.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

namespace {

struct Recorder : SuperFilterToolbarViewControllerDelegate {
    SuperFilterToolbarViewController* toolbar = nullptr;
    graphics::ImagePtr image;
    std::vector<int64_t> renders; // activeSlider at each slidersDidChange
    std::vector<std::string> calls;
    graphics::ImagePtr imageForHistogram() override { return image; }
    void applyButtonDidClick(SuperFilterToolbarViewController*) override { calls.push_back("apply"); }
    void slidersDidChange(SuperFilterToolbarViewController* t) override {
        renders.push_back(t->activeSlider());
    }
    void smallSizeClick(SuperFilterToolbarViewController*) override { calls.push_back("small"); }
    void cancelButtonDidClick(SuperFilterToolbarViewController*) override { calls.push_back("cancel"); }
    void drawButtonDidClick(SuperFilterToolbarViewController*) override { calls.push_back("draw"); }
    void hideMaskButtonDidClick(SuperFilterToolbarViewController*) override { calls.push_back("hide mask"); }
    void changeEnabledStateForCompareButton(bool) override {}
};

struct Toolbar {
    Toolbar() {
        for (auto& p : effect.params())
            params.push_back(p.get());
        view.setParams(params);
        view.setDelegate(&recorder);
        view.validateSliders();
        view.restoreDefaults();
    }
    QApplication& app = uiApplication();
    PP_SuperFilter effect;
    std::vector<PostProcessParameter*> params;
    Recorder recorder;
    SuperFilterToolbarViewController view;
};

void wait(int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
}

} // namespace

TEST(SuperFilterToolbar, SlidersTakeTheirParametersBoundsAndValues) {
    Toolbar t;
    ASSERT_EQ(t.params.size(), 20u);
    KXSlider* temperature = t.view.slider(SuperFilterToolbarViewController::kTemperatureSlider);
    EXPECT_EQ(temperature->minValue(), t.params[6]->min_value());
    EXPECT_EQ(temperature->maxValue(), t.params[6]->max_value());
    EXPECT_EQ(temperature->doubleValue(), t.params[6]->value());
    EXPECT_EQ(t.view.slider(SuperFilterToolbarViewController::kHueSlider)->maxValueRange(), 360u);
    EXPECT_FALSE(
        t.view.slider(SuperFilterToolbarViewController::kShadowsAmountSlider)->isShowNegativeValue());
    EXPECT_TRUE(t.view.slider(SuperFilterToolbarViewController::kExposureSlider)->isShowNegativeValue());
}

TEST(SuperFilterToolbar, AtRestNothingDiffersFromTheDefaults) {
    Toolbar t;
    EXPECT_FALSE(t.view.filterParamsNotDefault());
    EXPECT_FALSE(t.view.checkIsValuesChanged());
    t.view.slider(SuperFilterToolbarViewController::kContrastSlider)->setDoubleValue(1.2);
    EXPECT_TRUE(t.view.filterParamsNotDefault());
    t.view.restoreDefaults();
    EXPECT_FALSE(t.view.filterParamsNotDefault());
    t.view.histogramSlider()->setValue(40, 0, false); // a moved black point counts
    EXPECT_TRUE(t.view.filterParamsNotDefault());
    t.params[3]->setValue(1.3);
    EXPECT_TRUE(t.view.checkIsValuesChanged());
}

TEST(SuperFilterToolbar, EachSliderReportsItsCode) {
    Toolbar t;
    struct Case {
        int slider;
        int64_t code;
    };
    const Case cases[] = {{0, 1}, {1, 2}, {6, 7}, {10, 11}, {11, 14}, {16, 17}, {15, 19}};
    for (const Case& c : cases) {
        t.recorder.renders.clear();
        emit t.view.slider(c.slider)->action(t.view.slider(c.slider));
        EXPECT_EQ(t.recorder.renders, std::vector<int64_t>{c.code}) << c.slider;
    }
}

TEST(SuperFilterToolbar, NoiseReductionFirstResetsSharpeningThenReportsOnTheNextTurn) {
    Toolbar t;
    KXSlider* sharpen = t.view.slider(SuperFilterToolbarViewController::kSharpenAmountSlider);
    sharpen->setDoubleValue(t.params[14]->default_value() + 2);
    t.recorder.renders.clear();
    KXSlider* denoise = t.view.slider(SuperFilterToolbarViewController::kDenoiseSlider);
    denoise->setDoubleValue(0.5);
    emit denoise->action(denoise);
    EXPECT_EQ(t.recorder.renders, (std::vector<int64_t>{15, 16}));
    EXPECT_EQ(sharpen->doubleValue(), t.params[14]->default_value());
    wait(20);
    EXPECT_EQ(t.recorder.renders, (std::vector<int64_t>{15, 16, 18}));
    // And sharpening resets noise reduction at once.
    t.recorder.renders.clear();
    sharpen->setDoubleValue(3);
    emit sharpen->action(sharpen);
    EXPECT_EQ(t.recorder.renders, (std::vector<int64_t>{18, 15}));
}

TEST(SuperFilterToolbar, HistogramOfAFlatGreyPicture) {
    Toolbar t;
    std::vector<uint8_t> grey(100 * 100 * 4, 128);
    for (size_t i = 3; i < grey.size(); i += 4)
        grey[i] = 255; // opaque
    t.recorder.image = graphics::Image::copy(grey.data(), 100, 100, 400, graphics::PixelFormat{});
    t.view.reloadHistogram();
    const auto& tables = SuperFilterToolbarViewController::histogramTables();
    EXPECT_EQ(tables.red[128], 195u);
    EXPECT_EQ(tables.blue[128], 195u);
    const HistogramView* view = t.view.histogramSlider()->histogram_view();
    EXPECT_EQ(view->redHistogram()[128], 195u);
    EXPECT_EQ(view->histogram().size(), 256u);
    EXPECT_EQ(t.view.autoAdjustButtonClick(), (std::pair<int, int>{128, 128}));
}

TEST(SuperFilterToolbar, LevelsMessagesSetTheCodesAndKeepTheGammaInItsRange) {
    Toolbar t;
    HistogramSlider* levels = t.view.histogramSlider();
    t.recorder.renders.clear();
    t.view.valueIsChangingForButtonAtIndex(levels, 0);
    EXPECT_EQ(t.view.activeSlider(), 12);
    EXPECT_TRUE(t.recorder.renders.empty()); // not told while dragging
    t.view.valueDidChangedForButtonWithIndex(levels, 1);
    EXPECT_EQ(t.view.activeSlider(), 13);
    levels->setValue(0, 2, false); // as far left as it goes: at the black point
    t.view.valueDidChangedForButtonWithIndex(levels, 2);
    EXPECT_EQ(t.view.activeSlider(), 20);
    EXPECT_FLOAT_EQ(t.view.gammaSliderPositionBetweenBoundsSliders(), 0.05f);
    levels->setValue(300, 2, false);
    t.view.valueDidChangedForButtonWithIndex(levels, 2);
    EXPECT_GE(t.view.gammaSliderPositionBetweenBoundsSliders(), 0.05f);
    EXPECT_LE(t.view.gammaSliderPositionBetweenBoundsSliders(), 0.95f);
    EXPECT_EQ(t.recorder.renders.size(), 3u);
}

TEST(SuperFilterToolbar, TabsShowOneGroupAtATime) {
    Toolbar t;
    t.view.show();
    t.view.selectTab(SuperFilterToolbarViewController::kLevelsTab);
    EXPECT_TRUE(t.view.groupView(SuperFilterToolbarViewController::kLevelsTab)->isVisible());
    EXPECT_FALSE(t.view.groupView(SuperFilterToolbarViewController::kAdjustTab)->isVisible());
    t.view.selectTab(SuperFilterToolbarViewController::kShadowsTab);
    EXPECT_FALSE(t.view.groupView(SuperFilterToolbarViewController::kLevelsTab)->isVisible());
    EXPECT_TRUE(t.view.groupView(SuperFilterToolbarViewController::kShadowsTab)->isVisible());
}

TEST(SuperFilterToolbar, ButtonsAndSizeFollowTheirRules) {
    Toolbar t;
    t.view.disableApplyCancel(false);
    t.view.applyButtonClick();
    t.view.applyButtonClick(); // disabled by the first
    EXPECT_EQ(t.recorder.calls, std::vector<std::string>{"apply"});
    t.view.smallSizeClick(1); // state and size agree already
    EXPECT_FALSE(t.view.smallSize());
    t.view.smallSizeClick(0);
    EXPECT_TRUE(t.view.smallSize());
    t.view.smallSizeClick(0);
    EXPECT_EQ(t.recorder.calls, (std::vector<std::string>{"apply", "small"}));
}
