// The full-size apply: the progress panel around the render, and the finished picture recorded as
// one named undo step.
#include "controls/VQDialog.h"
#include "editor/FilterToolbarViewController.h"
#include "editor/ProgressViewController.h"
#include "editor/RivorezIduvivViewController.h"
#include "editor/SelectPostProcessViewController.h"
#include "editor/SuperFilterToolbarViewController.h"
#include "engine/CustomPreset.h"
#include "engine/CustomPresetsManager.h"
#include "engine/PostProcess.h"
#include "engine/PostProcessParameter.h"
#include "engine/PostProcessesManager.h"
#include "imageview/KXImageView.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UndoManager.h"

#include <QMainWindow>

void RivorezIduvivViewController::startProgressPanel() {
    delete _progressViewController;
    _progressViewController = new ProgressViewController;
    _progressViewController->setDelegate(this);
    if (_currentDialog) {
        _currentDialog->setDelegate(nullptr);
        _currentDialog->hideDialogWithoutAnimation();
        _currentDialog->deleteLater();
    }
    _currentDialog = new VQDialog(VQDialog::kContentStyle, this);
    _currentDialog->setObjectName("progressDialog");
    _currentDialog->setDialogSize(_progressViewController->size());
    _currentDialog->addSubview(_progressViewController);
    _currentDialog->showInView(_contentView);
}

void RivorezIduvivViewController::didChangedProgress(PostProcessesManager& manager, int64_t progress) {
    (void)manager;
    if (_progressViewController) _progressViewController->updateProgress(long(progress));
}

void RivorezIduvivViewController::modalViewControllerDidFinish(QObject* controller, bool isCanceled) {
    if (!_progressViewController || controller != _progressViewController) return;
    if (isCanceled) {
        _applying = false;
        if (_filterToolbarController) _filterToolbarController->setEnabledStateForButtons(true);
        _continueAfterApplyingSelector = nullptr;
        auto& center = foundation::NotificationCenter::defaultCenter();
        center.postNotificationName("processingAreCanceled");
        PostProcessesManager::sharedPostProcessesManager().cancelGeneratingImage();
        endApplyWait(ApplyWait::Result::Cancelled);
        if (_selectedPostProcess && _selectedPostProcess == superFilter.get()) showAdjustmentsSpinner();
        if (_selectedPostProcess || _selectedPreset) reloadPreview();
    }
    endProgressPanel();
    foundation::NotificationCenter::defaultCenter().postNotificationName("processingCancelingAreFinished");
}

void RivorezIduvivViewController::endProgressPanel() {
    if (_currentDialog) {
        _currentDialog->setDelegate(nullptr);
        _currentDialog->hideDialog();
        _currentDialog->deleteLater();
        _currentDialog = nullptr;
    }
    // The panel may be the sender still on the stack: it goes once the event is done.
    if (_progressViewController) {
        _progressViewController->setDelegate(nullptr);
        _progressViewController->hide();
        _progressViewController->deleteLater();
        _progressViewController = nullptr;
    }
}

namespace {

// What waits for the apply runs next, unless the window is minimised: then it waits for the
// window's return. A window Qt reports as not visible (embedded in a host, or not shown yet) still
// runs it, or it would never run.
void runContinuation(RivorezIduvivViewController* editor, QMainWindow* window) {
    if (!editor->_continueAfterApplyingSelector || window->isMinimized()) return;
    std::function<void()> next = std::move(editor->_continueAfterApplyingSelector);
    editor->_continueAfterApplyingSelector = nullptr;
    foundation::MainQueue::after(0, [guard = QPointer<QObject>(editor), next = std::move(next)] {
        if (guard) next();
    });
}

} // namespace

void RivorezIduvivViewController::applyResult(PostProcess* effect, graphics::ImagePtr result,
                                              graphics::ImagePtr beforeFrame) {
    const bool frame = effect && effect->isFrame();
    const bool adjustments = effect && effect == superFilter.get();
    if (_tool == kAdjust) {
        if (_superFilterToolbarController) _superFilterToolbarController->restoreDefaults();
        restoreSuperFilterDefaults();
        _selectedPostProcess = nullptr;
        if (_imageView->isCompareMode()) changeEnabledStateForCompareButton(false);
    } else if (!frame) {
        _selectPostProcessViewController->deselectCurrentEffect();
        setTool(kBrowser);
    }
    if (_undoManager) {
        _undoManager->beginUndoGrouping();
        if (effect) _undoManager->setActionName(effect->get_name());
    }
    if (effect && !adjustments && !frame)
        CustomPresetsManager::sharedCustomPresetsManager().pushEffect(effect);
    if (!frame) {
        setSavedImageWithoutFrame(beforeFrame ? beforeFrame : result);
    } else {
        if (!_savedImageWithoutFrame) setSavedImageWithoutFrame(_image);
        setCurrentFrameEffect(effect);
        setFrameParametr(effect->param_1() ? effect->param_1()->value() : 0);
    }
    _setImage(std::move(result), true);
    if (_undoManager) _undoManager->endUndoGrouping();
    setDocumentEdited(true);
    afterApplyingEffect = true;
    runContinuation(this, _window.get());
}

void RivorezIduvivViewController::applyPresetResult(const std::shared_ptr<CustomPreset>& preset,
                                                    graphics::ImagePtr result,
                                                    graphics::ImagePtr beforeFrame) {
    setTool(kBrowser);
    if (_undoManager) {
        _undoManager->beginUndoGrouping();
        _undoManager->setActionName("preset " + preset->name());
    }
    CustomPresetsManager::sharedCustomPresetsManager().pushPreset(preset);
    setSavedImageWithoutFrame(beforeFrame ? beforeFrame : result);
    _setImage(std::move(result), true);
    if (_undoManager) _undoManager->endUndoGrouping();
    setDocumentEdited(true);
    afterApplyingEffect = true;
    runContinuation(this, _window.get());
}
