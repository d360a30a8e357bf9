// The editor's tools: one at a time, each with its panel sliding in from the right edge of the
// content view. A switch is one undo step (except out of the painter), so undo walks back
// through the tools used; a panel that slid out is removed a little later, unless its tool came
// back first.
#include "editor/RivorezIduvivViewController.h"

#include "controls/KXButton.h"
#include "controls/KXJRVSlider.h"
#include "controls/SharedBundle.h"
#include "controls/ViewAlpha.h"
#include "editor/FilterToolbarViewController.h"
#include "editor/SelectPostProcessViewController.h"
#include "editor/SuperFilterToolbarViewController.h"
#include "engine/CustomPreset.h"
#include "engine/PostProcess.h"
#include "engine/PostProcessParameter.h"
#include "engine/PostProcessesManager.h"
#include "engine/effects/adjustments/PP_SuperFilter.h"
#include "imageview/CIMicroPaintView.h"
#include "imageview/DrawingToolbarController.h"
#include "imageview/KXImageView.h"
#include "platform/appkit/Alert.h"
#include "platform/appkit/DeferredCall.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UndoManager.h"
#include "platform/services/KXSLocalization.h"

#include <QAbstractButton>
#include <QPointer>
#include <QPropertyAnimation>

namespace {

constexpr int kTopBarHeight = 42;
// How far below the content view's top each panel hangs.
constexpr int kRotationTop = 140, kCropTop = 140, kAdjustTop = 130, kSidebarTop = 190;
// The part of a small parameter toolbar that slides out of the window.
constexpr int kSmallSidebarHidden = 249;
constexpr int kSlideMilliseconds = 250;
constexpr double kRemovalDelay = 0.3, kKnobDelay = 0.33;

std::string localized(const char* key) {
    return services::KXSLocalization::localizedStringForKey(key, "");
}

// The animator's frame change: at once while nothing is on screen.
void slideTo(QWidget* view, const QRect& target, bool animated) {
    if (!animated || !view->isVisible()) {
        view->setGeometry(target);
        return;
    }
    auto* slide = new QPropertyAnimation(view, "geometry", view);
    slide->setDuration(kSlideMilliseconds);
    slide->setEndValue(target);
    slide->start(QAbstractAnimation::DeleteWhenStopped);
}

bool inContentView(const QWidget* panel, const QWidget* content) {
    return panel && panel->parentWidget() == content && !panel->isHidden();
}

} // namespace

// ---- The switch

void RivorezIduvivViewController::setTool(int32_t tool) {
    if (tool == _tool) return;
    // Numbers that name no tool are refused: storing them would leave the window in no tool's state.
    if (!isValidTool(tool)) return;
    if (_tool == kCrop && !_askingToApplyCrop && applyCropButtonEnabled()) {
        // A switch replayed by undo or redo must not ask: the answer's crop would land in the replay.
        const bool replaying = _undoManager && (_undoManager->isUndoing() || _undoManager->isRedoing());
        const int answer =
            replaying ? appkit::Alert::AlternateReturn
                      : appkit::Alert::alertWithMessageText(localized("Apply Transform Changes?"),
                                                            localized("Yes"), localized("No"), "", "")
                            .runModal();
        // Applying sets a new image, which may itself switch tools: that inner switch must not ask
        // again, and this one goes on from wherever it left the window.
        _askingToApplyCrop = true;
        if (answer == appkit::Alert::DefaultReturn)
            applyCropClick();
        else
            foundation::NotificationCenter::defaultCenter().postNotificationName(
                "CancelChangesForRotationTab");
        _askingToApplyCrop = false;
        if (tool == _tool) return;
    }
    _tempTool = tool;
    const int32_t old = _tool;
    leaveTool(old, tool);
    _tool = tool;
    enterTool(tool, old);
}

void RivorezIduvivViewController::leaveTool(int32_t old, int32_t next) {
    auto& manager = PostProcessesManager::sharedPostProcessesManager();
    if (old != kPainter) {
        if (_undoManager) _undoManager->registerUndo(this, [this, old] { setTool(old); });
        validateUndoRedoButtonsState();
    }
    switch (old) {
    case kBrowser:
        setToolButton(_fxToolButton, false);
        if (next != kParameters) hideEffectsToolbarAnimated(true);
        break;
    case kRotate:
        // Turns and flips shown in this tool are the photo's from here on, not only the screen's;
        // the crop tool takes them over pending and bakes them with its frame.
        if (next != kCrop) applyPendingTurnsAndFlips();
        _selectPostProcessViewController->setBottomContentViewHidden(false);
        _imageView->setRightMargin(0);
        _imageView->commitChangesAnimated(true);
        if (QImage off = imageNamedAdditional("rotate_off"); !off.isNull()) _rotateToolButton->setImage(off);
        _rotateToolButton->setState(0);
        if (inContentView(_rotationView, _contentView))
            slideOutPanel(_rotationView, "removeRotationView", false);
        break;
    case kCrop:
        _imageView->setRightMargin(0);
        _imageView->setImage(_image, false);
        _imageView->commitChangesAnimated(true);
        setToolButton(_cropToolButton, false);
        if (inContentView(_cropToolbarView, _contentView)) hideCropToolbarAnimated(true);
        _imageView->setCropToolOn(false);
        break;
    case kParameters:
        _selectPostProcessViewController->hidePostProcessesButton()->setState(1);
        stopEffectCenterProgress();
        manager.cancelGeneratingImage();
        // An apply still running ends here: nothing would ever finish it.
        if (_applying) {
            _applying = false;
            endProgressPanel();
            endApplyWait(ApplyWait::Result::Cancelled);
        }
        setToolButton(_fxToolButton, false);
        if (next != kBrowser) hideEffectsToolbarAnimated(true);
        _imageView->setRightMargin(0);
        changeEnabledStateForCompareButton(false);
        _imageView->commitChangesAnimated(true);
        if (_filterToolbarController) hideEffectSidebarAnimated(true);
        if (next != kPainter) {
            _selectPostProcessViewController->deselectAll();
            _selectedPreset = nullptr;
            _imageView->setPreviewImage(nullptr, true);
            if (_selectedPostProcess) {
                _selectedPostProcess->freeMemory();
                _selectedPostProcess = nullptr;
            }
        }
        break;
    case kPainter:
        for (KXButton* b : {_fxToolButton, _cropToolButton, _rotateToolButton, _adjustButton})
            b->setEnabled(true);
        // Stops the runs, drops the full-size working image and restarts the thumbnails. A canvas
        // render still running is dropped with them, so nothing waits for it any more.
        manager.cleanWorkingImage();
        manager.setGenerateWithoutMask(false);
        isEnteringPainter = false;
        if (_applying) {
            _applying = false;
            endProgressPanel();
            endApplyWait(ApplyWait::Result::Cancelled);
        }
        setToolButton(_fxToolButton, false);
        _imageView->setRightMargin(0);
        _selectPostProcessViewController->setBottomContentViewHidden(false);
        ViewAlpha::setAlpha(_imageView, 1);
        _imageView->setDisabled(false);
        if (_drawingToolbar) {
            slideOutPanel(_drawingToolbar, "removeDrawingToolbar", true);
            _drawingToolbar = nullptr;
        }
        _selectPostProcessViewController->hidePostProcessesButtonClick();
        _selectPostProcessViewController->hidePostProcessesButtonClick();
        appkit::DeferredCall::perform(this, "_beginLeavePainter", 0, [this] { _beginLeavePainter(); });
        break;
    case kAdjust:
        stopEffectCenterProgress();
        manager.cancelGeneratingImage();
        setToolButton(_adjustButton, false);
        _selectPostProcessViewController->setBottomContentViewHidden(false);
        _imageView->setRightMargin(0);
        changeEnabledStateForCompareButton(false);
        _imageView->commitChangesAnimated(true);
        if (_superFilterToolbarController) hideSuperfilterToolbarAnimated(true);
        _selectPostProcessViewController->deselectAll();
        _selectedPreset = nullptr;
        _imageView->setPreviewImage(nullptr, true);
        if (next != kPainter && _selectedPostProcess) {
            _selectedPostProcess->freeMemory();
            _selectedPostProcess = nullptr;
        }
        if (superFilter) superFilter->freeMemory();
        break;
    default:
        break;
    }
}

void RivorezIduvivViewController::enterTool(int32_t tool, int32_t old) {
    const int width = _contentView->width(), height = _contentView->height();
    switch (tool) {
    case kBrowser:
        setToolButton(_fxToolButton, true);
        setToolButton(_cropToolButton, false);
        setToolButton(_adjustButton, false);
        ViewAlpha::setAlpha(_imageView, 1);
        if (old != kParameters && !afterApplyingEffect) showEffectsToolbar();
        if (_image) _imageView->zoomToFitAnimated(true);
        afterApplyingEffect = false;
        validateResizebleButtons();
        break;
    case kRotate:
        appkit::DeferredCall::cancelPreviousPerformRequests(this, "removeRotationView");
        if (QImage on = imageNamedAdditional("rotate_on"); !on.isNull()) _rotateToolButton->setImage(on);
        _rotateToolButton->setState(1);
        if (_rotationView) {
            slideInPanel(_rotationView, kRotationTop, "redrawRotationView");
            _imageView->setRightMargin(_rotationView->width());
        }
        if (_image) _imageView->zoomToFitAnimated(true);
        _imageView->commitChangesAnimated(true);
        _selectPostProcessViewController->setBottomContentViewHidden(true);
        break;
    case kCrop:
        appkit::DeferredCall::cancelPreviousPerformRequests(this, "removeCropToolbar");
        setToolButton(_cropToolButton, true);
        setToolButton(_fxToolButton, false);
        setToolButton(_adjustButton, false);
        if (_cropToolbarView) {
            slideInPanel(_cropToolbarView, kCropTop, "redrawCropToolbar");
            _imageView->setRightMargin(_cropToolbarView->width());
        }
        _imageView->setImage(savedImageWithoutFrame(), false);
        _imageView->setCropToolOn(true);
        if (_image) _imageView->zoomToFitAnimated(true);
        _imageView->commitChangesAnimated(true);
        _selectPostProcessViewController->setBottomContentViewHidden(true);
        break;
    case kParameters:
        ViewAlpha::setAlpha(_imageView, 1);
        setToolButton(_fxToolButton, true);
        setToolButton(_cropToolButton, false);
        setToolButton(_adjustButton, false);
        if (_imageView->readyToEnterCompareMode()) changeEnabledStateForCompareButton(true);
        if (_filterToolbarController) {
            removeFromSuperviewSubview(_filterToolbarController);
            _filterToolbarController = nullptr;
        }
        _filterToolbarController = new FilterToolbarViewController(_contentView);
        _filterToolbarController->setObjectName("filterToolbar");
        _filterToolbarController->hide();
        _filterToolbarController->setDelegate(this);
        if (!_selectedPostProcess && !_selectedPreset) {
            showEffectsToolbar();
            break;
        }
        showEffectsSidebar();
        configureFilterToolbar();
        break;
    case kPainter: {
        for (KXButton* b : {_fxToolButton, _cropToolButton, _rotateToolButton, _adjustButton})
            b->setEnabled(false);
        setToolButton(_fxToolButton, false);
        hideEffectsToolbarAnimated(true);
        _selectPostProcessViewController->setBottomContentViewHidden(true);
        if (_drawingToolbar) removeFromSuperviewSubview(_drawingToolbar);
        _drawingToolbar = new DrawingToolbarController(_contentView);
        _drawingToolbar->setObjectName("drawingToolbar");
        _drawingToolbar->setDelegate(this);
        // Beyond the right edge until the canvas is ready; then it moves in.
        _drawingToolbar->setGeometry(width, kTopBarHeight, DrawingToolbarController::kWidth,
                                     std::max(0, height - kTopBarHeight));
        _drawingToolbar->show();
        _drawingToolbar->raise();
        _topBarView->raise();
        _drawingToolbar->raise();
        _imageView->setRightMargin(DrawingToolbarController::kWidth);
        if (_image) _imageView->zoomToFitAnimated(true);
        _imageView->commitChangesAnimated(true);
        // A painter left and entered again in one pass clears up the old one now, not after the
        // new one has begun.
        if (appkit::DeferredCall::pendingCount(this, "_beginLeavePainter") > 0) {
            appkit::DeferredCall::cancelPreviousPerformRequests(this, "_beginLeavePainter");
            _beginLeavePainter();
        }
        _beginEnterPainter();
        break;
    }
    case kAdjust: {
        _selectPostProcessViewController->deselectAll();
        _superFilterLaunching = true;
        setToolButton(_adjustButton, true);
        setToolButton(_fxToolButton, false);
        setToolButton(_cropToolButton, false);
        if (_imageView->readyToEnterCompareMode()) changeEnabledStateForCompareButton(true);
        if (_superFilterToolbarController) {
            removeFromSuperviewSubview(_superFilterToolbarController);
            _superFilterToolbarController = nullptr;
        }
        auto& manager = PostProcessesManager::sharedPostProcessesManager();
        if (!superFilter) {
            superFilter = std::make_unique<PP_SuperFilter>();
            superFilter->init(foundation::Value(), int32_t(manager.postProcesses().size()));
            manager.setSuperFilter(superFilter.get());
        }
        _selectedPostProcess = nullptr;
        _selectedPreset = nullptr;
        auto* toolbar = new SuperFilterToolbarViewController(_contentView);
        _superFilterToolbarController = toolbar;
        toolbar->setObjectName("superFilterToolbar");
        toolbar->hide();
        toolbar->setDelegate(this);
        toolbar->setTitle(QString::fromStdString(superFilter->get_name()));
        std::vector<PostProcessParameter*> params;
        for (const auto& parameter : superFilter->params())
            params.push_back(parameter.get());
        toolbar->setParams(std::move(params));
        toolbar->validateSliders();
        toolbar->validateButtons();
        slideInPanel(toolbar, kAdjustTop, "redrawSuperFilterToolbar");
        _imageView->setRightMargin(toolbar->width());
        if (_image) _imageView->zoomToFitAnimated(true);
        _imageView->commitChangesAnimated(true);
        _selectPostProcessViewController->setBottomContentViewHidden(true);
        if (toolbar->filterParamsNotDefault())
            manager.generateImageForPostProcess(superFilter.get(), true, this);
        else
            toolbar->disableApplyCancel(true);
        break;
    }
    default:
        break;
    }
}

// Panels keep to the right edge when the window changes size.
void RivorezIduvivViewController::layoutToolPanels() {
    const int width = _contentView->width(), height = _contentView->height();
    for (QWidget* panel :
         {_rotationView, _cropToolbarView, static_cast<QWidget*>(_superFilterToolbarController)})
        if (inContentView(panel, _contentView) && panel->x() < width)
            panel->move(width - panel->width(), panel->y());
    if (FilterToolbarViewController* toolbar = _filterToolbarController; isEffectsSidebarShowed())
        toolbar->move(width - toolbar->width() + (toolbar->smallSize() ? kSmallSidebarHidden : 0),
                      toolbar->y());
    if (_drawingToolbar && _painterView)
        _drawingToolbar->setGeometry(width - DrawingToolbarController::kWidth, kTopBarHeight,
                                     DrawingToolbarController::kWidth, std::max(0, height - kTopBarHeight));
    placePainterControls();
}

// ---- Buttons

void RivorezIduvivViewController::buttonAdjustClick() {
    if (_tool != kAdjust) setTool(kAdjust);
}

void RivorezIduvivViewController::enterRotationMode() {
    setTool(kRotate);
}

void RivorezIduvivViewController::buttonCropClick() {
    // The crop command always starts free of proportions.
    _imageView->setProportionsConstrain(0);
    setTool(kCrop);
}

void RivorezIduvivViewController::buttonPaintClick() {
    if (_painterView) {
        if (graphics::ImagePtr result = _painterView->resultImage()) {
            if (_undoManager) _undoManager->beginUndoGrouping();
            _setImage(result, false);
            if (_undoManager) {
                _undoManager->setActionName(localized("Apply Drawing"));
                _undoManager->endUndoGrouping();
            }
            _selectPostProcessViewController->cleanSelectedItems();
            setTool(kBrowser);
        } else {
            setTool(kParameters);
        }
    } else {
        setTool(kPainter);
    }
}

// A pushed tool button stays pushed and takes no clicks until its tool is left.
void RivorezIduvivViewController::setToolButton(KXButton* button, bool current) {
    button->setState(current ? 1 : 0);
    button->setAttribute(Qt::WA_TransparentForMouseEvents, current);
}

void RivorezIduvivViewController::changeEnabledStateForCompareButton(bool enabled) {
    _compareButton->setEnabled(enabled);
}

// ---- Side panels

void RivorezIduvivViewController::slideInPanel(QWidget* panel, int top, const char* redraw) {
    const int width = _contentView->width();
    panel->setParent(_contentView);
    panel->setGeometry(width, top, panel->width(), panel->height());
    panel->show();
    panel->raise();
    slideTo(panel, QRect(width - panel->width(), top, panel->width(), panel->height()), true);
    appkit::DeferredCall::perform(this, redraw, kRemovalDelay, [panel = QPointer<QWidget>(panel)] {
        if (panel) panel->update();
    });
}

// Slides the panel to the right edge; it leaves the content view 0.3 s later (and is deleted
// then when released), unless its tool comes back first and cancels the removal.
void RivorezIduvivViewController::slideOutPanel(QWidget* panel, const char* removal, bool release) {
    slideTo(panel, QRect(_contentView->width(), panel->y(), panel->width(), panel->height()), true);
    appkit::DeferredCall::perform(this, removal, kRemovalDelay,
                                  [this, panel = QPointer<QWidget>(panel), release] {
                                      if (!panel) return;
                                      if (release)
                                          removeFromSuperviewSubview(panel);
                                      else
                                          panel->hide();
                                  });
}

void RivorezIduvivViewController::removeFromSuperviewSubview(QWidget* view) {
    if (!view) return;
    view->hide();
    view->setParent(nullptr);
    view->deleteLater();
}

void RivorezIduvivViewController::showEffectsToolbar() {
    _selectPostProcessViewController->showPostProcessesPreviewsAnimated(true);
}

void RivorezIduvivViewController::hideEffectsToolbarAnimated(bool animated) {
    _selectPostProcessViewController->hidePostProcessesPreviewsAnimated(animated, true);
}

bool RivorezIduvivViewController::isEffectsSidebarShowed() const {
    return inContentView(_filterToolbarController, _contentView);
}

void RivorezIduvivViewController::showEffectsSidebar() {
    FilterToolbarViewController* toolbar = _filterToolbarController;
    if (!toolbar || isEffectsSidebarShowed()) return;
    const int width = _contentView->width();
    toolbar->setGeometry(width, kSidebarTop, FilterToolbarViewController::kWidth, toolbar->height());
    toolbar->show();
    toolbar->raise();
    _topBarView->raise();
    const auto small = _effectsSideBarStates.find(_browserSelectedTab);
    if (small != _effectsSideBarStates.end() && small->second) {
        // The toolbar shrinks itself and asks for its place through smallSizeClick.
        toolbar->smallSizeButton()->setState(1);
        toolbar->smallSizeClick(nullptr);
    } else {
        slideTo(toolbar, QRect(width - toolbar->width(), kSidebarTop, toolbar->width(), toolbar->height()),
                true);
        _imageView->setRightMargin(toolbar->width());
        if (_image) _imageView->zoomToFitAnimated(true);
        _imageView->commitChangesAnimated(true);
    }
    appkit::DeferredCall::perform(this, "validateSidebarKnobs", kKnobDelay,
                                  [toolbar = QPointer<FilterToolbarViewController>(toolbar)] {
                                      if (!toolbar) return;
                                      toolbar->firstSlider()->validateKnobPositionAnimated(true);
                                      toolbar->secondSlider()->validateKnobPositionAnimated(true);
                                      toolbar->update();
                                  });
}

void RivorezIduvivViewController::smallSizeClick(FilterToolbarViewController* toolbar) {
    if (toolbar != _filterToolbarController || !toolbar) return;
    const int width = _contentView->width(), w = toolbar->width();
    const bool small = toolbar->smallSize();
    slideTo(toolbar, QRect(width - w + (small ? kSmallSidebarHidden : 0), toolbar->y(), w, toolbar->height()),
            true);
    _imageView->setRightMargin(small ? w - kSmallSidebarHidden : w);
    if (_image) _imageView->zoomToFitAnimated(true);
    _imageView->commitChangesAnimated(true);
}

// The parameter toolbar over the current choice.
void RivorezIduvivViewController::configureFilterToolbar() {
    FilterToolbarViewController* toolbar = _filterToolbarController;
    if (!toolbar) return;
    if (_selectedPostProcess) {
        toolbar->crosshairImageView()->setVisible(_selectedPostProcess->isCenterSupported());
        toolbar->setTitle(QString::fromStdString(_selectedPostProcess->get_display_name()));
        toolbar->setParam1(_selectedPostProcess->param_1());
        toolbar->setParam2(_selectedPostProcess->param_2());
        toolbar->setFrameEffect(_selectedPostProcess->isFrame());
        toolbar->validateSlidersAnimated(false);
        toolbar->updateSlidersParams();
    } else if (_selectedPreset) {
        toolbar->setTitle(QString::fromStdString(_selectedPreset->name()));
        toolbar->setParam1(nullptr);
        toolbar->setParam2(nullptr);
        toolbar->setFrameEffect(false);
        toolbar->validateSlidersAnimated(false);
    }
}

void RivorezIduvivViewController::hideEffectSidebarAnimated(bool animated) {
    if (!_filterToolbarController) return;
    if (animated)
        slideOutPanel(_filterToolbarController, "removeEffectSidebar", true);
    else
        removeFromSuperviewSubview(_filterToolbarController);
    _filterToolbarController = nullptr;
}

void RivorezIduvivViewController::hideSuperfilterToolbarAnimated(bool animated) {
    if (!_superFilterToolbarController) return;
    if (animated)
        slideOutPanel(_superFilterToolbarController, "removeSuperFilterToolbar", true);
    else
        removeFromSuperviewSubview(_superFilterToolbarController);
    _superFilterToolbarController = nullptr;
}

void RivorezIduvivViewController::hideCropToolbarAnimated(bool animated) {
    if (!_cropToolbarView) return;
    if (animated)
        slideOutPanel(_cropToolbarView, "removeCropToolbar", false);
    else
        _cropToolbarView->hide();
}

// The crop toolbar's apply button, by its name: it is enabled while the crop has changes.
bool RivorezIduvivViewController::applyCropButtonEnabled() const {
    if (!_cropToolbarView) return false;
    if (auto* kx = _cropToolbarView->findChild<KXButton*>("applyCropButton")) return kx->isEnabled();
    if (auto* button = _cropToolbarView->findChild<QAbstractButton*>("applyCropButton"))
        return button->isEnabled();
    return false;
}

// ---- The adjustments toolbar

graphics::ImagePtr RivorezIduvivViewController::imageForHistogram() {
    return static_cast<const RivorezIduvivViewController&>(*this).imageForHistogram();
}

void RivorezIduvivViewController::smallSizeClick(SuperFilterToolbarViewController* toolbar) {
    (void)toolbar;
}

void RivorezIduvivViewController::drawButtonDidClick(SuperFilterToolbarViewController* toolbar) {
    if (toolbar != _superFilterToolbarController) return;
    _selectedPostProcess = superFilter.get();
    drawButtonDidClick();
}

void RivorezIduvivViewController::hideMaskButtonDidClick(SuperFilterToolbarViewController* toolbar) {
    if (toolbar == _superFilterToolbarController) hideMaskButtonDidClick();
}
