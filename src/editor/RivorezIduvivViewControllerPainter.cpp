// Painter mode: the mask canvas built over the photo once the effect has rendered at full size,
// the brush toolbar's messages passed on to it, and leaving by Apply or Cancel with the mask
// handed to the engine. Entering and leaving are undo pairs, so undo and redo walk between the
// painter and the effect's tool.
#include "editor/RivorezIduvivViewController.h"

#include "controls/KXButton.h"
#include "controls/KXScroller.h"
#include "controls/SharedBundle.h"
#include "controls/ViewAlpha.h"
#include "editor/FilterToolbarViewController.h"
#include "editor/SelectPostProcessViewController.h"
#include "engine/CustomPresetsManager.h"
#include "engine/PostProcess.h"
#include "engine/PostProcessesManager.h"
#include "imageview/CIMicroPaintView.h"
#include "imageview/DrawingToolbarController.h"
#include "imageview/KXImageView.h"
#include "platform/appkit/DeferredCall.h"
#include "platform/foundation/UndoManager.h"

#include <QLabel>
#include <QPainter>
#include <QPropertyAnimation>

namespace {

constexpr int kTopBarHeight = 42;
constexpr int kScrollerThickness = 18;
// The canvas's clipping area ends this far from the right edge and this far above the bottom
// (its own layout); the scrollers sit along those edges.
constexpr int kCanvasRightInset = 309, kCanvasBottomInset = 49;

} // namespace

// ---- Entering

void RivorezIduvivViewController::_beginEnterPainter() {
    auto& manager = PostProcessesManager::sharedPostProcessesManager();
    painterBackImage = savedImageWithoutFrame();
    // Nothing chosen means nothing to paint: no render is started that nothing would finish.
    if (!_selectedPostProcess && !_selectedPreset) {
        isEnteringPainter = false;
        return;
    }
    isEnteringPainter = true;
    manager.setGenerateWithoutMask(true);
    generateImageForSelectedPostProcessOrPreset();
}

void RivorezIduvivViewController::_finalizeEnterPainter() {
    isEnteringPainter = false;
    if (_tool != kPainter || !painterFrontImage || !painterBackImage) return;
    if (_painterView) {
        _painterView->hide();
        _painterView->deleteLater();
        _painterView = nullptr;
    }
    const QSize size = _imageView->size();
    _painterView = new CIMicroPaintView(graphics::Rect(0, 0, size.width(), size.height()), painterFrontImage,
                                        painterBackImage, _contentView);
    _painterView->setObjectName("painterView");
    _painterView->setUndoManager(_undoManager);
    _painterView->setOwner(this);
    _painterView->show();

    if (!_hScroller) {
        _hScroller = new KXScroller(_contentView);
        _hScroller->setObjectName("hScroller");
        _vScroller = new KXScroller(_contentView);
        _vScroller->setObjectName("vScroller");
        for (KXScroller* scroller : {_hScroller, _vScroller}) {
            scroller->setKnobProportion(0.5);
            scroller->setDoubleValue(0.5);
            scroller->setEnabled(true);
        }
        auto* square = new QLabel(_contentView);
        square->setObjectName("scrollerSquare");
        const QImage corner = imageNamedAdditional("jrv_slider_square");
        if (!corner.isNull())
            square->setPixmap(QPixmap::fromImage(corner));
        else
            square->setStyleSheet("background: rgb(24, 27, 32);");
        square->setScaledContents(true);
        _scrollerSquare = square;
    }
    // The canvas keeps the scrollers in step with its visible area and pans on their presses.
    _painterView->setControlVerticalScroller(_vScroller, _hScroller, _scrollerSquare);
    placePainterControls();

    if (_drawingToolbar) {
        const int width = _contentView->width();
        const QRect target(width - DrawingToolbarController::kWidth, kTopBarHeight,
                           DrawingToolbarController::kWidth,
                           std::max(0, _contentView->height() - kTopBarHeight));
        if (_drawingToolbar->isVisible()) {
            auto* slide = new QPropertyAnimation(_drawingToolbar, "geometry", _drawingToolbar);
            slide->setDuration(250);
            slide->setEndValue(target);
            slide->start(QAbstractAnimation::DeleteWhenStopped);
        } else {
            _drawingToolbar->setGeometry(target);
        }
        _drawingToolbar->validateAllBrushes();
    }
    _painterView->zoomToFitRect(graphics::Rect(0, 0, 0, 0));
    syncScrollers();
    _imageView->setDisabled(true);
    appkit::DeferredCall::perform(this, "hideImageView", 0.3, [this] { hideImageView(); });
    validateResizebleButtons();
}

// The scrollers along the canvas's bottom and right edges, left of the brush toolbar, above the
// background; the canvas lays itself out against their sizes.
void RivorezIduvivViewController::placePainterControls() {
    if (!_painterView || !_hScroller) return;
    const int width = _contentView->width(), height = _contentView->height();
    const int clipWidth = std::max(0, width - kCanvasRightInset);
    const int vx = clipWidth - kScrollerThickness;
    _hScroller->setGeometry(0, height - kScrollerThickness, std::max(0, vx), kScrollerThickness);
    _vScroller->setGeometry(vx, kCanvasBottomInset, kScrollerThickness,
                            std::max(0, height - kCanvasBottomInset - kScrollerThickness));
    _scrollerSquare->setGeometry(vx, height - kScrollerThickness, kScrollerThickness, kScrollerThickness);
    CanvasGeometry& geometry = _painterView->canvasGeometry();
    geometry.horizontalScroller = graphics::Size{double(_hScroller->width()), double(kScrollerThickness)};
    geometry.verticalScroller = graphics::Size{double(kScrollerThickness), double(_vScroller->height())};
    _painterView->raise();
    for (QWidget* control :
         {static_cast<QWidget*>(_hScroller), static_cast<QWidget*>(_vScroller), _scrollerSquare})
        control->raise();
    _topBarView->raise();
    if (_drawingToolbar) _drawingToolbar->raise();
}

// The scrollers show what the canvas's last layout decided.
void RivorezIduvivViewController::syncScrollers() {
    if (!_painterView || !_hScroller) return;
    const CanvasGeometry::Validated& state = _painterView->frameState();
    const std::pair<KXScroller*, const ScrollerState*> scrollers[] = {{_hScroller, &state.horizontal},
                                                                      {_vScroller, &state.vertical}};
    for (const auto& [scroller, scrollerState] : scrollers) {
        scroller->setVisible(scrollerState->shown);
        scroller->setKnobProportion(scrollerState->knobProportion);
        scroller->setDoubleValue(scrollerState->value);
    }
    _scrollerSquare->setVisible(state.squareShown);
}

void RivorezIduvivViewController::hideImageView() {
    ViewAlpha::setAlpha(_imageView, 0, true);
}

void RivorezIduvivViewController::_beginLeavePainter() {
    for (QWidget* control :
         {static_cast<QWidget*>(_hScroller), static_cast<QWidget*>(_vScroller), _scrollerSquare})
        if (control) {
            control->hide();
            control->deleteLater();
        }
    _hScroller = nullptr;
    _vScroller = nullptr;
    _scrollerSquare = nullptr;
    painterFrontImage = nullptr;
    painterBackImage = nullptr;
    if (_painterView) {
        _painterView->hide();
        _painterView->deleteLater();
        _painterView = nullptr;
    }
    _imageView->setPreviewImage(_imageView->image(), false);
}

// ---- Leaving, and the undo pairs

void RivorezIduvivViewController::applyButtonDidClick(DrawingToolbarController* toolbar) {
    if (!toolbar || toolbar != _drawingToolbar) return;
    PostProcessesManager::sharedPostProcessesManager().cleanWorkingImage();
    if (_undoManager) _undoManager->beginUndoGrouping();
    exitFromPainter();
    if (_undoManager) _undoManager->endUndoGrouping();
    reloadPreview();
}

void RivorezIduvivViewController::exitFromPainter() {
    auto& manager = PostProcessesManager::sharedPostProcessesManager();
    // As a redo the mask's own redo has put the painted mask back already, and the canvas, if any,
    // may still hold the older one. Without a canvas the engine's mask is kept as it is.
    const bool redoing = _undoManager && _undoManager->isRedoing();
    if (!redoing && _painterView) manager.setMask(_painterView->originalSizeMask());
    if (manager.mask()) _showingMask = true;
    PostProcess* effect = _selectedPostProcess;
    setTool(effect && effect == superFilter.get() ? kAdjust : kParameters);
    _selectPostProcessViewController->reloadEffectsTableView();
    if (_undoManager) _undoManager->registerUndo(this, [this, effect] { enterToPainterWithEffect(effect); });
    validateUndoRedoButtonsState();
}

void RivorezIduvivViewController::enterToPainterWithEffect(PostProcess* effect) {
    validateUndoRedoButtonsState();
    if (effect && effect != _selectedPostProcess) _selectedPostProcess = effect;
    setTool(kPainter);
    if (_undoManager) _undoManager->registerUndo(this, [this] { exitFromPainter(); });
}

void RivorezIduvivViewController::cancelButtonDidClick(DrawingToolbarController* toolbar) {
    if (!toolbar || toolbar != _drawingToolbar) return;
    auto& manager = PostProcessesManager::sharedPostProcessesManager();
    if (_undoManager) _undoManager->beginUndoGrouping();
    if (_painterView && !(_undoManager && _undoManager->isUndoing())) _painterView->restoreStartMask();
    manager.cleanWorkingImage();
    // Without a canvas (its render still running) the engine's mask is kept as it is.
    if (_painterView) manager.setMask(_painterView->originalSizeMask());
    _selectPostProcessViewController->reloadEffectsTableView();
    PostProcess* effect = _selectedPostProcess;
    setTool(effect && effect == superFilter.get() ? kAdjust : kParameters);
    if (_undoManager)
        _undoManager->registerUndo(this, [this, effect] { enterToPainterAfterCancelWithEffect(effect); });
    validateUndoRedoButtonsState();
    if (_undoManager) _undoManager->endUndoGrouping();
}

void RivorezIduvivViewController::enterToPainterAfterCancelWithEffect(PostProcess* effect) {
    validateUndoRedoButtonsState();
    // The adjustments tool drops its selection on entry: the painter needs the effect back.
    if (effect && effect != _selectedPostProcess) _selectedPostProcess = effect;
    setTool(kPainter);
    if (_undoManager) _undoManager->registerUndo(this, [this] { cancelFromPainter(); });
}

void RivorezIduvivViewController::cancelFromPainter() {
    cancelButtonDidClick(_drawingToolbar);
}

void RivorezIduvivViewController::drawButtonDidClick() {
    enterToPainterAfterCancelWithEffect(_selectedPostProcess);
}

void RivorezIduvivViewController::drawButtonDidClick(FilterToolbarViewController* toolbar) {
    if (toolbar == _filterToolbarController) drawButtonDidClick();
}

void RivorezIduvivViewController::hideMaskButtonDidClick() {
    _showingMask = !_showingMask;
    _selectPostProcessViewController->reloadEffectsTableView();
}

void RivorezIduvivViewController::hideMaskButtonDidClick(FilterToolbarViewController* toolbar) {
    if (toolbar == _filterToolbarController) hideMaskButtonDidClick();
}

void RivorezIduvivViewController::hideMaskButtonStateWasChanged(
    const foundation::Notification& notification) {
    (void)notification;
    CustomPresetsManager::sharedCustomPresetsManager().resetAllPreviewImages();
    for (const auto& effect : PostProcessesManager::sharedPostProcessesManager().postProcesses())
        effect->setPreviewImage(nullptr);
    if (_selectedPostProcess) reloadPreview();
    _selectPostProcessViewController->reloadEffectsTableView();
}

// ---- The brush toolbar's messages: only the editor's own toolbar reaches the canvas

void RivorezIduvivViewController::invertMaskForDrawingToolbarController(DrawingToolbarController* toolbar) {
    if (toolbar && toolbar == _drawingToolbar && _painterView) _painterView->invertMask();
}

void RivorezIduvivViewController::showMask(DrawingToolbarController* toolbar, bool show) {
    if (toolbar && toolbar == _drawingToolbar && _painterView) _painterView->setShowMask(show);
}

void RivorezIduvivViewController::eraseMask(DrawingToolbarController* toolbar, bool erase) {
    if (toolbar && toolbar == _drawingToolbar && _painterView) _painterView->setEraseMask(erase);
}

void RivorezIduvivViewController::moveImage(DrawingToolbarController* toolbar, bool move) {
    if (toolbar && toolbar == _drawingToolbar && _painterView) _painterView->setMoveImage(move);
}

void RivorezIduvivViewController::clearMaskForDrawingToolbarController(DrawingToolbarController* toolbar) {
    if (toolbar && toolbar == _drawingToolbar && _painterView) _painterView->clearMask();
}

void RivorezIduvivViewController::brushSizeDidChange(DrawingToolbarController* toolbar, double size) {
    if (toolbar && toolbar == _drawingToolbar && _painterView) _painterView->setBrushSize(size);
}

void RivorezIduvivViewController::softnessDidChange(DrawingToolbarController* toolbar, double softness) {
    if (toolbar && toolbar == _drawingToolbar && _painterView) _painterView->setBrushSoftness(softness);
}

void RivorezIduvivViewController::opacityDidChange(DrawingToolbarController* toolbar, double opacity) {
    if (toolbar && toolbar == _drawingToolbar && _painterView) _painterView->setBrushOpacity(opacity);
}

graphics::ImagePtr RivorezIduvivViewController::previewImageForDrawingToolbarController(
    DrawingToolbarController* toolbar, QSize size, double brushSize, double brushSoftness,
    double brushOpacity) {
    if (!toolbar || toolbar != _drawingToolbar || !_painterView) return nullptr;
    return _painterView->previewImageWithSize(size, brushSize, brushSoftness, brushOpacity);
}

void RivorezIduvivViewController::applyMask(DrawingToolbarController* toolbar, coreimage::ImagePtr mask) {
    if (toolbar && toolbar == _drawingToolbar && _painterView) _painterView->applyMask(std::move(mask));
}

void RivorezIduvivViewController::applyMask(coreimage::ImagePtr mask) {
    if (_painterView)
        _painterView->applyMask(std::move(mask));
    else
        _laterMaskApplying = std::move(mask);
}

void RivorezIduvivViewController::setToolbarBrushSize(double size) {
    if (_drawingToolbar) _drawingToolbar->setBrushSize(size);
}
