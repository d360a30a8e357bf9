// The adjustments tool seen from the editor: each moved control of its toolbar is written into the
// adjustment effect's parameter it stands for, a busy indicator sits over the preview while it
// renders, and Apply and Cancel end the tool's changes.
#include "controls/AMIndeterminateProgressIndicatorCell.h"
#include "controls/KXSlider.h"
#include "editor/HistogramSlider.h"
#include "editor/RivorezIduvivViewController.h"
#include "editor/SuperFilterToolbarViewController.h"
#include "engine/PostProcess.h"
#include "engine/PostProcessParameter.h"
#include "engine/PostProcessesManager.h"
#include "imageview/KXImageView.h"
#include "platform/appkit/Coordinates.h"

#include <cmath>
#include <optional>

namespace {

using Toolbar = SuperFilterToolbarViewController;

// `activeSlider` → the parameter it writes and the control it reads. The exposure slider (17)
// writes parameter 18 while the noise sliders (18, 19) write 16 and 17.
std::optional<std::pair<size_t, double>> adjustmentFor(int64_t activeSlider, const Toolbar& toolbar) {
    auto slider = [&](int index) { return toolbar.slider(index)->doubleValue(); };
    switch (activeSlider) {
    case 1:
        return std::pair{size_t(0), slider(Toolbar::kRedSlider)};
    case 2:
        return std::pair{size_t(1), slider(Toolbar::kGreenSlider)};
    case 3:
        return std::pair{size_t(2), slider(Toolbar::kBlueSlider)};
    case 4:
        return std::pair{size_t(3), slider(Toolbar::kContrastSlider)};
    case 5:
        return std::pair{size_t(4), slider(Toolbar::kSaturationSlider)};
    case 6:
        return std::pair{size_t(5), slider(Toolbar::kHueSlider)};
    case 7:
        return std::pair{size_t(6), slider(Toolbar::kTemperatureSlider)};
    case 8:
        return std::pair{size_t(7), slider(Toolbar::kShadowsAmountSlider)};
    case 9:
        return std::pair{size_t(8), slider(Toolbar::kShadowsWidthSlider)};
    case 10:
        return std::pair{size_t(9), slider(Toolbar::kHighlightsAmountSlider)};
    case 11:
        return std::pair{size_t(10), slider(Toolbar::kHighlightsWidthSlider)};
    case 12:
        return std::pair{size_t(11), toolbar.histogramSlider()->valueForButtonWithIndex(0)};
    case 13:
        return std::pair{size_t(12), toolbar.histogramSlider()->valueForButtonWithIndex(1)};
    case 14:
        return std::pair{size_t(13), slider(Toolbar::kBrightnessSlider)};
    case 15:
        return std::pair{size_t(14), slider(Toolbar::kSharpenAmountSlider)};
    case 16:
        return std::pair{size_t(15), slider(Toolbar::kSharpenRadiusSlider)};
    case 17:
        return std::pair{size_t(18), slider(Toolbar::kExposureSlider)};
    case 18:
        return std::pair{size_t(16), slider(Toolbar::kDenoiseSlider)};
    case 19:
        return std::pair{size_t(17), slider(Toolbar::kDenoiseRadiusSlider)};
    case 20:
        return std::pair{size_t(19), double(toolbar.gammaSliderPositionBetweenBoundsSliders())};
    default:
        return std::nullopt;
    }
}

} // namespace

void RivorezIduvivViewController::takeAdjustmentValue(int64_t activeSlider,
                                                      const SuperFilterToolbarViewController& toolbar) {
    if (!superFilter) return;
    const auto adjustment = adjustmentFor(activeSlider, toolbar);
    if (!adjustment) return;
    const auto& params = superFilter->params();
    if (adjustment->first < params.size()) params[adjustment->first]->setValue(adjustment->second);
}

void RivorezIduvivViewController::showAdjustmentsSpinner() {
    if (_spinnerBackground->isHidden()) {
        const QPointF inView = appkit::fromAppKit(_imageView->previewCenter(), _imageView->height());
        const QPointF centre = QPointF(_imageView->pos()) + inView;
        const QSize size = _effectCenterProgress->size();
        _effectCenterProgress->move(int(std::lround(centre.x() - size.width() / 2.0)),
                                    int(std::lround(centre.y() - size.height() / 2.0)));
        _spinnerBackground->move(_effectCenterProgress->x() - 24, _effectCenterProgress->y() - 24);
    }
    _spinnerBackground->show();
    _spinnerBackground->raise();
    _effectCenterProgress->setSpinning(true);
    _effectCenterProgress->raise();
}

void RivorezIduvivViewController::hideAdjustmentsSpinner() {
    if (!_spinnerBackground) return;
    _spinnerBackground->hide();
    _effectCenterProgress->setSpinning(false);
}

void RivorezIduvivViewController::slidersDidChange(SuperFilterToolbarViewController* toolbar) {
    if (toolbar != _superFilterToolbarController || !superFilter) return;
    takeAdjustmentValue(toolbar->activeSlider(), *toolbar);
    toolbar->disableApplyCancel(false);
    showAdjustmentsSpinner();
    // A preview request now would take the running apply's place, which would then never finish.
    if (!_applying)
        PostProcessesManager::sharedPostProcessesManager().generateImageForPostProcess(superFilter.get(),
                                                                                       true, this);
    toolbar->validateButtons();
}

void RivorezIduvivViewController::applyButtonDidClick(SuperFilterToolbarViewController* toolbar) {
    if (toolbar != _superFilterToolbarController || !superFilter || _applying) return;
    hideAdjustmentsSpinner();
    _selectedPostProcess = superFilter.get();
    generateImageForSelectedPostProcessOrPreset();
}

void RivorezIduvivViewController::cancelButtonDidClick(SuperFilterToolbarViewController* toolbar) {
    if (toolbar != _superFilterToolbarController) return;
    auto& manager = PostProcessesManager::sharedPostProcessesManager();
    manager.cancelGeneratingPreview();
    toolbar->restoreDefaults();
    restoreSuperFilterDefaults();
    toolbar->validateSliders();
    if (superFilter && !_applying) manager.generateImageForPostProcess(superFilter.get(), true, this);
    _selectedPostProcess = nullptr;
    changeEnabledStateForCompareButton(false);
}
