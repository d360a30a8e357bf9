#include "editor/RivorezIduvivViewController.h"

#include "controls/AMIndeterminateProgressIndicatorCell.h"
#include "controls/ImageAdditional.h"
#include "controls/KXButton.h"
#include "controls/KXSlider.h"
#include "editor/HistogramSlider.h"
#include "editor/ProgressViewController.h"
#include "editor/SuperFilterToolbarViewController.h"
#include "engine/PostProcess.h"
#include "engine/PostProcessParameter.h"
#include "engine/effects/adjustments/PP_SuperFilter.h"
#include "imageview/KXImageView.h"
#include "platform/appkit/MainQueuePump.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UndoManager.h"
#include "support/EventLoop.h"
#include "support/UiApplication.h"

#include <QApplication>
#include <QImage>
#include <QMainWindow>
#include <gtest/gtest.h>
#include <vector>

namespace {

using Editor = RivorezIduvivViewController;
using Toolbar = SuperFilterToolbarViewController;

graphics::ImagePtr photo(int width = 96, int height = 64) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(40 + x, 90 + y, 160));
    return ImageAdditional::fromQImage(image);
}

QImage pixels(const graphics::ImagePtr& image) {
    return ImageAdditional::toQImage(image);
}

void endPass() {
    foundation::RunLoop::runOnce();
}

struct Adjustments : ::testing::Test {
    QApplication& app = uiApplication();
    appkit::MainQueuePump mainQueue;
    foundation::UndoManager undo;
    Editor editor{&undo};
    graphics::ImagePtr original = photo();

    Adjustments() {
        editor.window()->resize(1200, 800);
        editor.window()->show();
        editor.openNewImage(original, "Photo");
        endPass();
        editor.buttonAdjustClick();
        endPass();
    }
    ~Adjustments() override {
        if (PostProcess* adjust = editor.superFilterEffect())
            for (const auto& p : adjust->params())
                p->setValue(p->default_value());
    }
    Toolbar* toolbar() const { return editor.superFilterToolbarController(); }
    PostProcess* adjust() const { return editor.superFilterEffect(); }
    std::vector<double> values() const {
        std::vector<double> out;
        for (const auto& p : adjust()->params())
            out.push_back(p->value());
        return out;
    }
    // A value inside the parameter's range that is not its default.
    static double moved(const PostProcessParameter& p) {
        return p.default_value() == p.max_value() ? p.min_value() : (p.default_value() + p.max_value()) / 2;
    }
};

TEST_F(Adjustments, EachActiveSliderWritesItsControlIntoItsParameter) {
    ASSERT_NE(toolbar(), nullptr);
    ASSERT_EQ(adjust()->params().size(), 20u);
    struct Case {
        int64_t activeSlider;
        size_t parameter;
        int slider; // -1: the levels' low knob, -2: its high knob, -3: the gamma position
    };
    const std::vector<Case> cases = {
        {1, 0, Toolbar::kRedSlider},
        {2, 1, Toolbar::kGreenSlider},
        {3, 2, Toolbar::kBlueSlider},
        {4, 3, Toolbar::kContrastSlider},
        {5, 4, Toolbar::kSaturationSlider},
        {6, 5, Toolbar::kHueSlider},
        {7, 6, Toolbar::kTemperatureSlider},
        {8, 7, Toolbar::kShadowsAmountSlider},
        {9, 8, Toolbar::kShadowsWidthSlider},
        {10, 9, Toolbar::kHighlightsAmountSlider},
        {11, 10, Toolbar::kHighlightsWidthSlider},
        {12, 11, -1},
        {13, 12, -2},
        {14, 13, Toolbar::kBrightnessSlider},
        {15, 14, Toolbar::kSharpenAmountSlider},
        {16, 15, Toolbar::kSharpenRadiusSlider},
        {17, 18, Toolbar::kExposureSlider},
        {18, 16, Toolbar::kDenoiseSlider},
        {19, 17, Toolbar::kDenoiseRadiusSlider},
        {20, 19, -3},
    };
    for (const Case& c : cases) {
        for (const auto& p : adjust()->params())
            p->setValue(p->default_value());
        double expected = 0;
        if (c.slider >= 0) {
            KXSlider* slider = toolbar()->slider(c.slider);
            slider->setDoubleValue((slider->minValue() + slider->maxValue()) / 2 +
                                   0.125 * (slider->maxValue() - slider->minValue()));
            expected = slider->doubleValue();
        } else if (c.slider == -3) {
            expected = double(toolbar()->gammaSliderPositionBetweenBoundsSliders());
        } else {
            expected = toolbar()->histogramSlider()->valueForButtonWithIndex(c.slider == -1 ? 0 : 1);
        }
        // A sentinel no control holds shows the write happened.
        adjust()->params()[c.parameter]->setValue(-12345);
        std::vector<double> before = values();
        editor.takeAdjustmentValue(c.activeSlider, *toolbar());
        std::vector<double> after = values();
        EXPECT_DOUBLE_EQ(after[c.parameter], expected) << "slider " << c.activeSlider;
        before[c.parameter] = after[c.parameter];
        EXPECT_EQ(after, before) << "slider " << c.activeSlider << " touched another parameter";
    }
    for (int64_t unknown : {0, -1, 21, 99}) {
        const std::vector<double> before = values();
        editor.takeAdjustmentValue(unknown, *toolbar());
        EXPECT_EQ(values(), before) << unknown;
    }
}

TEST_F(Adjustments, MovingASliderRendersAPreviewThatDiffersFromThePhotoUnderASpinner) {
    ASSERT_NE(toolbar(), nullptr);
    KXSlider* exposure = toolbar()->slider(Toolbar::kExposureSlider);
    exposure->setDoubleValue(exposure->maxValue());
    toolbar()->sliderValueChanged(Toolbar::kExposureSlider);
    EXPECT_EQ(toolbar()->activeSlider(), 17);
    EXPECT_DOUBLE_EQ(adjust()->params()[PP_SuperFilter::kExposure]->value(), exposure->maxValue());
    EXPECT_TRUE(editor.spinnerBackground()->isVisible());
    EXPECT_TRUE(editor.effectCenterProgress()->isSpinning());
    EXPECT_TRUE(toolbar()->applyButton()->isEnabled());
    ASSERT_TRUE(runEventLoopUntil([&] { return editor.imageView()->previewImage() != nullptr; }, 20));
    EXPECT_NE(pixels(editor.imageView()->previewImage()), pixels(original));
    EXPECT_FALSE(editor.spinnerBackground()->isVisible());
    EXPECT_FALSE(editor.effectCenterProgress()->isSpinning());
    EXPECT_EQ(editor.image(), original);
}

TEST_F(Adjustments, CancelPutsEveryValueBackAndShowsThePhoto) {
    ASSERT_NE(toolbar(), nullptr);
    KXSlider* saturation = toolbar()->slider(Toolbar::kSaturationSlider);
    saturation->setDoubleValue(saturation->minValue());
    toolbar()->sliderValueChanged(Toolbar::kSaturationSlider);
    ASSERT_TRUE(runEventLoopUntil([&] { return editor.imageView()->previewImage() != nullptr; }, 20));
    endPass();
    const std::string lastStep = undo.undoActionName();
    editor.cancelButtonDidClick(toolbar());
    for (const auto& p : adjust()->params())
        EXPECT_DOUBLE_EQ(p->value(), p->default_value()) << p->name();
    EXPECT_DOUBLE_EQ(saturation->doubleValue(), adjust()->params()[4]->default_value());
    EXPECT_EQ(editor.tool(), Editor::kAdjust);
    // The default adjustments render the photo unchanged.
    ASSERT_TRUE(runEventLoopUntil(
        [&] {
            auto preview = editor.imageView()->previewImage();
            return preview && pixels(preview) == pixels(original);
        },
        20));
    EXPECT_EQ(editor.image(), original);
    endPass();
    EXPECT_EQ(undo.undoActionName(), lastStep);
}

TEST_F(Adjustments, ApplyMakesOneUndoStep) {
    ASSERT_NE(toolbar(), nullptr);
    KXSlider* exposure = toolbar()->slider(Toolbar::kExposureSlider);
    exposure->setDoubleValue(exposure->maxValue());
    toolbar()->sliderValueChanged(Toolbar::kExposureSlider);
    endPass();
    const bool couldUndo = undo.canUndo();
    editor.applyButtonDidClick(toolbar());
    EXPECT_FALSE(editor.spinnerBackground()->isVisible());
    ASSERT_TRUE(runEventLoopUntil([&] { return editor.image() != original; }, 20));
    endPass();
    EXPECT_NE(pixels(editor.image()), pixels(original));
    EXPECT_EQ(undo.undoActionName(), adjust()->get_name());
    for (const auto& p : adjust()->params())
        EXPECT_DOUBLE_EQ(p->value(), p->default_value()) << p->name();
    undo.undo();
    EXPECT_EQ(editor.image(), original);
    EXPECT_EQ(undo.canUndo(), couldUndo);
}

TEST_F(Adjustments, ACancelledApplyKeepsThePhotoAndRendersThePreviewAgainUnderTheSpinner) {
    ASSERT_NE(toolbar(), nullptr);
    KXSlider* exposure = toolbar()->slider(Toolbar::kExposureSlider);
    exposure->setDoubleValue(exposure->maxValue());
    toolbar()->sliderValueChanged(Toolbar::kExposureSlider);
    ASSERT_TRUE(runEventLoopUntil([&] { return editor.imageView()->previewImage() != nullptr; }, 20));
    editor.applyButtonDidClick(toolbar());
    ASSERT_NE(editor.progressViewController(), nullptr);
    EXPECT_FALSE(editor.spinnerBackground()->isVisible());
    editor.progressViewController()->cancelButtonClick();
    EXPECT_TRUE(editor.spinnerBackground()->isVisible());
    EXPECT_TRUE(editor.effectCenterProgress()->isSpinning());
    ASSERT_TRUE(runEventLoopUntil([&] { return !editor.spinnerBackground()->isVisible(); }, 20));
    EXPECT_EQ(editor.image(), original);
    EXPECT_DOUBLE_EQ(adjust()->params()[PP_SuperFilter::kExposure]->value(), exposure->maxValue());
}

TEST_F(Adjustments, ApplyAndWaitInTheAdjustmentsAnswersAppliedWithTheNewImage) {
    ASSERT_NE(toolbar(), nullptr);
    KXSlider* contrast = toolbar()->slider(Toolbar::kContrastSlider);
    contrast->setDoubleValue(contrast->maxValue());
    toolbar()->sliderValueChanged(Toolbar::kContrastSlider);
    endPass();
    EXPECT_EQ(editor.applyCurrentToolAndWait(), ApplyWait::Result::Applied);
    EXPECT_NE(editor.image(), original);
    EXPECT_NE(pixels(editor.image()), pixels(original));
}

} // namespace
